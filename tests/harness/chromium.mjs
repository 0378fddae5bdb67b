// Debian's chromium, headless, driven by playwright-core: how the page tests and the page relay
// start their browser (no browser download, no background traffic, runs as root).
import { chromium } from 'playwright-core';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

// The host window's size in logical pixels.
export const VIEWPORT = { width: 720, height: 510 };

const ARGS = ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--disable-quic'];

export async function startBrowser() {
  const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'corvane-pages-'));
  const context = await chromium.launchPersistentContext(userDataDir, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ARGS,
    viewport: VIEWPORT,
  });
  return {
    context,
    async close() {
      await context.close();
      fs.rmSync(userDataDir, { recursive: true, force: true });
    },
  };
}

// The pages' own posts (feedback, telemetry, e-mail offer) never leave the machine: every web
// request is recorded into `requests` and answered 200 with an empty JSON object.
export async function answerWebRequests(page, requests) {
  await page.route(/^https?:\/\//, async (route) => {
    const req = route.request();
    requests.push({ method: req.method(), url: req.url(), body: req.postData() });
    await route.fulfill({ status: 200, headers: { 'Access-Control-Allow-Origin': '*' }, body: '{}' });
  });
}
