// Vendor addresses the pages use. They belong to the build, not to the page
// logic: a rebranded or staged build changes only this file.
window.CORVANE_CONFIG = Object.freeze({
  // The first entry is the default; the others are the alternate variants an
  // attributed download can name in host_domain.
  vendorDomains: ['corvane.com', 'corvane.net', 'corvane.org'],
  links: Object.freeze({
    privacy: 'https://corvane.com/privacy',
    terms: 'https://corvane.com/terms',
    license: 'https://corvane.com/eula',
    httpsHelp: 'https://corvane.com/help?topic=https-filtering',
  }),
  linkTracking: 'utm_source=corvanelabs&utm_medium=installer',
  extensionId: 'kbmhgaeplfcjdmnoiakbpcfejhgdlmno',
  extensionStores: Object.freeze({
    chrome: 'https://chromewebstore.google.com/detail/',
    edge: 'https://microsoftedge.microsoft.com/addons/detail/',
  }),
});
