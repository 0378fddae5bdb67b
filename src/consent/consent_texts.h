// What the consent screens say, in installer and uninstaller form (UTF-8).
#pragma once

struct consent_texts {
  const char* caption;         // the window's title and the caption of its message boxes
  const char* heading;         // native window: the title line
  const char* tagline;         // native window: the two lines under it
  const char* button;          // native window: the button that elevates
  const char* terms;           // native window: the bottom line (empty: none)
  const char* close_question;  // WebView2 screen: asked before closing (null: none)
  const char* declined;        // the explanation after the UAC prompt was declined
};

// The uninstaller's native window speaks of removing the product, not of installing it.
const consent_texts& consent_texts_for(int is_uninstall);
