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

// With a proxy (the vendor stand-in, "http://127.0.0.1:PORT"), the pages' own posts go to it
// under their real host names, as the program's do; its HTTPS certificate comes from a
// throw-away test root, which this browser alone is told to accept.
export async function startBrowser({ proxy } = {}) {
  const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'corvane-pages-'));
  const context = await chromium.launchPersistentContext(userDataDir, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ARGS,
    viewport: VIEWPORT,
    ...(proxy ? { proxy: { server: proxy }, ignoreHTTPSErrors: true } : {}),
  });
  return {
    context,
    proxied: Boolean(proxy),
    async close() {
      await context.close();
      fs.rmSync(userDataDir, { recursive: true, force: true });
    },
  };
}

// The pages' own posts (feedback, telemetry, e-mail offer) never leave the machine: every web
// request is recorded into `requests` and, unless the browser has the stand-in as its proxy,
// answered 200 with an empty JSON object.
export async function answerWebRequests(page, requests, proxied = false) {
  if (proxied) {
    page.on('request', (req) => {
      if (/^https?:\/\//.test(req.url()) && req.method() !== 'OPTIONS') {
        requests.push({ method: req.method(), url: req.url(), body: req.postData() });
      }
    });
    return;
  }
  await page.route(/^https?:\/\//, async (route) => {
    const req = route.request();
    requests.push({ method: req.method(), url: req.url(), body: req.postData() });
    await route.fulfill({ status: 200, headers: { 'Access-Control-Allow-Origin': '*' }, body: '{}' });
  });
}
