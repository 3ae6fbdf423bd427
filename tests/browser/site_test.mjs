// The site as a reader meets it in a real browser: Debian's chromium,
// headless, driven by puppeteer-core. Pages are opened from file:// as a
// reader opens a site on disk; only the clipboard check is served over
// loopback, because the browser grants clipboard access to an http origin
// alone.
//
// Usage: node site_test.mjs MODULES SITE SOURCES
//   MODULES  the folder whose node_modules holds puppeteer-core
//   SITE     the output folder of `prismet -o SITE SOURCES`
//   SOURCES  the tree the site was made from
// Prints "  ok: ..." or "  FAILED: ..." per check and ends with
// "check-site-browser: N passed, M failed".
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const [modules, site, sources] = process.argv.slice(2).map((p) => path.resolve(p));
const puppeteer = createRequire(path.join(modules, 'package.json'))('puppeteer-core');

let passed = 0;
let failed = 0;
function check(what, ok, detail = '') {
  if (ok) {
    passed += 1;
    console.log(`  ok: ${what}`);
  } else {
    failed += 1;
    console.log(`  FAILED: ${what}${detail ? `\n    ${detail}` : ''}`);
  }
}

// Every HTML file of the site, as paths relative to it.
function htmlFiles(folder, prefix = '') {
  const found = [];
  for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
    const relative = prefix + entry.name;
    if (entry.isDirectory()) found.push(...htmlFiles(path.join(folder, entry.name), `${relative}/`));
    else if (entry.name.endsWith('.html')) found.push(relative);
  }
  return found.sort();
}

const pageUrl = (relative, hash = '') => pathToFileURL(path.join(site, relative)).href + hash;

// Opens a page and collects what went wrong on it: script errors, console
// errors and requests that left the site or failed.
async function open(browser, url) {
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push(`script error: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`console: ${message.text()}`);
  });
  page.on('requestfailed', (request) => problems.push(`failed: ${request.url()}`));
  page.on('request', (request) => {
    if (!request.url().startsWith('file://') && !request.url().startsWith('http://127.0.0.1'))
      problems.push(`left the site: ${request.url()}`);
  });
  await page.goto(url, { waitUntil: 'load' });
  return { page, problems };
}

// The links of a page that stay in the site, resolved: [file path, id].
async function siteLinks(page) {
  const hrefs = await page.$$eval('a[href]', (links) => links.map((a) => a.href));
  return hrefs
    .filter((href) => href.startsWith('file://'))
    .map((href) => {
      const url = new URL(href);
      return [fileURLToPath(url), decodeURIComponent(url.hash.slice(1))];
    });
}

async function everyPageOpensAndEveryLinkLands(browser) {
  const files = htmlFiles(site);
  check('the site has pages and indexes', files.includes('index.html') && files.length > 2, files.join(' '));
  const ids = new Map();  // file path -> set of ids, filled as pages open
  const links = [];
  for (const relative of files) {
    const { page, problems } = await open(browser, pageUrl(relative));
    check(`${relative} opens without errors and stays in the site`, problems.length === 0, problems.join('; '));
    ids.set(path.join(site, relative), new Set(await page.$$eval('[id]', (all) => all.map((e) => e.id))));
    for (const link of await siteLinks(page)) links.push([relative, ...link]);
    await page.close();
  }
  const broken = links.filter(([, file, id]) => !fs.existsSync(file) || (id !== '' && !ids.get(file)?.has(id)));
  check(`each of the site's ${links.length} links lands on a page and, with an anchor, on its element`,
        links.length > 0 && broken.length === 0, broken.slice(0, 5).map((b) => b.join(' -> ')).join('; '));
}

async function theLinkedLineIsTheTarget(browser) {
  const { page } = await open(browser, pageUrl('a.cpp.html', '#L3'));
  check('page.html#L3 makes line 3 the target', (await page.evaluate(() => document.querySelector(':target')?.id)) === 'L3');
  const inView = await page.$eval('#L3', (e) => {
    const box = e.getBoundingClientRect();
    return box.top >= 0 && box.top < window.innerHeight;
  });
  check('and scrolls it into view', inView);
  await page.click('a[href="#L5"]');
  check('a line number is the link to its line', (await page.evaluate(() => location.hash)) === '#L5');
  await page.close();
}

// The style sheet marks a line through its anchor's ::before box.
const markedLines = (page) =>
  page.$$eval('pre.prismet a[id^="L"]', (anchors) =>
    anchors
      .filter((a) => {
        const color = getComputedStyle(a, '::before').backgroundColor;
        return color !== 'rgba(0, 0, 0, 0)' && color !== 'transparent';
      })
      .map((a) => a.id));

async function theLinkedLineAndARangeAreMarked(browser) {
  const { page } = await open(browser, pageUrl('a.cpp.html', '#L3'));
  check('the linked line alone is marked', JSON.stringify(await markedLines(page)) === '["L3"]',
        JSON.stringify(await markedLines(page)));
  await page.goto(pageUrl('a.cpp.html', '#L2-L4'));
  check('a range #L2-L4 is marked whole, and nothing else',
        JSON.stringify(await markedLines(page)) === '["L2","L3","L4"]', JSON.stringify(await markedLines(page)));
  await page.evaluate(() => { location.hash = '#L5'; });
  await page.waitForFunction(() => location.hash === '#L5');
  check('another line linked: the range is unmarked, the line marked',
        JSON.stringify(await markedLines(page)) === '["L5"]', JSON.stringify(await markedLines(page)));
  await page.close();
}

async function anIncludeLeadsToItsHeader(browser) {
  const { page } = await open(browser, pageUrl('a.cpp.html'));
  const link = await page.$('pre.prismet a[href="sub/b.h.html"]');
  check('#include "sub/b.h" links its header\'s page', link !== null);
  if (link === null) return page.close();
  check('the link covers the header name only',
        (await page.evaluate((a) => a.textContent, link)) === 'sub/b.h');
  await Promise.all([page.waitForNavigation(), link.click()]);
  check('following it opens the header\'s page', page.url() === pageUrl('sub/b.h.html'), page.url());
  await page.close();
}

async function theSearchBoxFindsPages(browser) {
  const { page, problems } = await open(browser, pageUrl('sub/index.html'));
  const box = await page.$('#prismet-search');
  check('the index has a search box, shown where script runs',
        box !== null && (await page.evaluate((b) => !b.hidden, box)));
  if (box === null) return page.close();
  await box.type('sjis');
  const found = await page.$$eval('#prismet-found a', (links) => links.map((a) => a.href));
  check('typing part of a name lists the matching page', found.length === 1 && found[0] === pageUrl('sub/sjis.cpp.html'),
        JSON.stringify(found));
  await box.click({ clickCount: 3 });
  await box.type('.cpp');
  const all = await page.$$eval('#prismet-found a', (links) => links.map((a) => a.href).sort());
  check('every page whose name matches, from any folder',
        JSON.stringify(all) === JSON.stringify([pageUrl('a.cpp.html'), pageUrl('sub/sjis.cpp.html')]),
        JSON.stringify(all));
  await Promise.all([page.waitForNavigation(), page.click('#prismet-found a')]);
  check('a found page opens', page.url().endsWith('.cpp.html'), page.url());
  check('searching needs no server and leaves nothing wrong', problems.length === 0, problems.join('; '));
  await page.close();
}

async function indexesLeadToPagesAndBack(browser) {
  const { page } = await open(browser, pageUrl('index.html'));
  await Promise.all([page.waitForNavigation(), page.click('a[href="sub/index.html"]')]);
  check('the root index leads to a folder\'s index', page.url() === pageUrl('sub/index.html'), page.url());
  await Promise.all([page.waitForNavigation(), page.click('a[href="b.h.html"]')]);
  check('the folder\'s index leads to its page', page.url() === pageUrl('sub/b.h.html'), page.url());
  const text = await page.$eval('pre.prismet', (pre) => pre.textContent);
  check('the page shows its source', text.includes('int b();'), JSON.stringify(text));
  await Promise.all([page.waitForNavigation(), page.click('a[href="index.html"]')]);
  check('the page leads back to its folder\'s index', page.url() === pageUrl('sub/index.html'), page.url());
  await page.close();
}

async function darkModeFollowsTheReader(browser) {
  const background = async (scheme) => {
    const { page } = await open(browser, pageUrl('a.cpp.html'));
    await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
    const color = await page.$eval('body', (body) => getComputedStyle(body).backgroundColor);
    await page.close();
    return color;
  };
  const light = await background('light');
  const dark = await background('dark');
  check('a page is dark for a reader who prefers dark', light !== dark, `${light} / ${dark}`);
}

// Serves the site on loopback for the one check that needs an http origin.
async function serve() {
  const server = http.createServer((request, response) => {
    const file = path.join(site, decodeURIComponent(new URL(request.url, 'http://x').pathname));
    if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.statusCode = 404;
      response.end();
      return;
    }
    response.setHeader('Content-Type', 'text/html; charset=utf-8');
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return server;
}

// Selecting the code and copying it gives the source's text: no line
// numbers, tabs and blanks as they are, the characters decoded. A browser
// leaves out the last line break of a <pre>, and reads CR LF as one line
// break.
async function copiedCodeIsTheSource(browser, server, pagePath, sourcePath, decode) {
  const origin = `http://127.0.0.1:${server.address().port}`;
  await browser.defaultBrowserContext().overridePermissions(origin, ['clipboard-read', 'clipboard-write']);
  const { page } = await open(browser, `${origin}/${pagePath}`);
  // A line's number is its anchor's text (the html5 mode's), or a span in it.
  const numbers = await page.$$eval('pre.prismet a[id^="L"]', (all) => all.filter((a) => /\d/.test(a.textContent)).length);
  await page.evaluate(() => {
    const range = document.createRange();
    range.selectNodeContents(document.querySelector('pre.prismet'));
    getSelection().removeAllRanges();
    getSelection().addRange(range);
  });
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyC');
  await page.keyboard.up('Control');
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  const source = decode(fs.readFileSync(path.join(sources, sourcePath))).replace(/\r\n/g, '\n');
  check(`copying ${pagePath}'s code (${numbers} line numbers shown) gives its source exactly`,
        numbers > 0 && copied === source.replace(/\n$/, ''), JSON.stringify(copied));
  await page.close();
}

// With cross-references the site has a folder of symbol pages, names
// grouped on pages by a hash of the name: the symbol index reached from the
// root index, an initial's page, a name's section whose definition and uses
// lead to their lines, a definition's own name leading to its uses, and the
// search box finding a name below the files.
const symbolsIndex = 'prismet-symbols/+index.html';
// main's group's page, as the program's hash makes it, and its anchor.
const mainPage = 'prismet-symbols/343.html';
const mainAnchor = '#main';

// The name of the section the page's fragment targets, and whether the
// target is that section or the list of its uses.
async function targetedName(page) {
  return page.evaluate(() => {
    const target = document.querySelector(':target');
    const section = target?.closest('section.prismet-name');
    return { id: target?.id, kind: target?.className, name: section?.querySelector('h2.prismet-symbol')?.textContent };
  });
}

// a.cpp's last line uses b, declared in sub/b.h, and x, defined on line 3.
async function aUseLeadsToItsDefinition(browser) {
  const { page } = await open(browser, pageUrl('a.cpp.html'));
  for (const [name, href, url, line] of [['x', '#L3', pageUrl('a.cpp.html', '#L3'), 'L3'],
                                         ['b', 'sub/b.h.html#L1', pageUrl('sub/b.h.html', '#L1'), 'L1']]) {
    const uses = await page.$$(`pre.prismet a[href="${href}"]`);
    const use = uses.length > 0 ? uses[uses.length - 1] : null;
    check(`a use of ${name} links to its definition's line`,
          use !== null && (await page.evaluate((a) => a.textContent, use)) === name);
    if (use === null) continue;
    await Promise.all([href.startsWith('#') ? page.waitForFunction((h) => location.hash === h, {}, href)
                                            : page.waitForNavigation(), use.click()]);
    check(`clicking it lands on ${line}, marked`,
          page.url() === url && JSON.stringify(await markedLines(page)) === `["${line}"]`,
          `${page.url()} ${JSON.stringify(await markedLines(page))}`);
    if (!href.startsWith('#')) await page.goto(pageUrl('a.cpp.html'));
  }
  await page.close();
}

async function theSymbolIndexLeadsToANamesLines(browser) {
  const { page, problems } = await open(browser, pageUrl('index.html'));
  await Promise.all([page.waitForNavigation(), page.click('a[href="prismet-symbols/+index.html"]')]);
  check('the root index leads to the symbol index', page.url() === pageUrl(symbolsIndex), page.url());
  const initial = await page.$('table.prismet-initials a');
  check('the symbol index lists an initial', initial !== null);
  if (initial === null) return page.close();
  await Promise.all([page.waitForNavigation(), initial.click()]);
  const name = await page.$('table.prismet-symbols a');
  check('an initial\'s page lists a name', name !== null, page.url());
  if (name === null) return page.close();
  const clicked = await page.evaluate((a) => a.textContent, name);
  await Promise.all([page.waitForNavigation(), name.click()]);
  const landed = await targetedName(page);
  check('a name in an initial\'s page lands on its own section of its group\'s page',
        landed.kind === 'prismet-name' && landed.name === clicked, `${page.url()} ${JSON.stringify(landed)}`);
  const definition = await page.$('section.prismet-name:target table.prismet-definitions a');
  check('a name\'s section lists its definition', definition !== null, page.url());
  if (definition !== null) {
    const href = await page.evaluate((a) => a.href, definition);
    await Promise.all([page.waitForNavigation(), definition.click()]);
    const target = await page.evaluate(() => document.querySelector(':target')?.id);
    check('following a definition lands on its line, marked', `#${target}` === new URL(href).hash && target !== undefined,
          `${page.url()} ${target}`);
  }
  check('the symbol pages open without errors', problems.length === 0, problems.join('; '));
  await page.close();
}

async function aNamesUsesLeadToTheirLines(browser) {
  const files = fs.readdirSync(path.join(site, 'prismet-symbols')).filter((f) => !f.startsWith('+') && f.endsWith('.html'));
  check('the group pages are named by three hexadecimal digits', files.length > 0 &&
        files.every((f) => /^[0-9a-f]{3}\.html$/.test(f)), files.join(' '));
  let checked = 0;
  for (const file of files) {
    const { page } = await open(browser, pageUrl(`prismet-symbols/${file}`));
    const uses = await page.$$('section.prismet-name-uses table.prismet-uses a');
    if (uses.length > 0 && checked === 0) {
      const href = await page.evaluate((a) => a.href, uses[0]);
      await Promise.all([page.waitForNavigation(), uses[0].click()]);
      const target = await page.evaluate(() => document.querySelector(':target')?.id);
      check('a use on a name\'s page lands on its line', target !== undefined && `#${target}` === new URL(href).hash,
            `${page.url()} ${target}`);
      checked += 1;
    }
    await page.close();
  }
  check('some name of the site has uses', checked > 0, files.join(' '));
}

// main's name on its definition's line links to the list of its uses.
async function aDefinitionsNameLeadsToItsUses(browser) {
  const { page } = await open(browser, pageUrl('a.cpp.html'));
  const own = await page.$(`pre.prismet a[href="${mainPage}${mainAnchor}.uses"]`);
  check('a definition\'s own name links to its uses', own !== null);
  if (own === null) return page.close();
  await Promise.all([page.waitForNavigation(), own.click()]);
  const landed = await targetedName(page);
  check('clicking it lands on the name\'s list of uses', page.url() === pageUrl(mainPage, `${mainAnchor}.uses`) &&
        landed.kind === 'prismet-name-uses' && landed.name === 'main', `${page.url()} ${JSON.stringify(landed)}`);
  await page.close();
}

async function theSearchBoxFindsNames(browser) {
  const { page, problems } = await open(browser, pageUrl('index.html'));
  const box = await page.$('#prismet-search');
  if (box === null) return check('the index has a search box', false);
  await box.type('main');
  const found = await page.$$eval('#prismet-found li', (items) =>
    items.map((li) => [li.className, li.querySelector('a')?.href ?? li.textContent]));
  const symbols = found.filter(([kind]) => kind === 'prismet-symbol');
  check('typing a name lists its section among the symbols', symbols.length > 0 &&
        symbols[0][1] === pageUrl(mainPage, mainAnchor), JSON.stringify(found));
  check('files come first, then names', found.findIndex(([kind]) => kind === 'prismet-symbol') ===
        found.length - symbols.length, JSON.stringify(found));
  await box.click({ clickCount: 3 });
  await box.type('a.cpp');
  const files = await page.$$eval('#prismet-found li', (items) => items.map((li) => li.className));
  check('a file name alone finds no name', files.length === 1 && files[0] === '', JSON.stringify(files));
  await Promise.all([page.waitForNavigation(), page.click('#prismet-found a')]);
  check('the search box still finds and opens files', page.url() === pageUrl('a.cpp.html'), page.url());
  check('searching names needs no server and leaves nothing wrong', problems.length === 0, problems.join('; '));
  await page.close();
}

const browser = await puppeteer.launch({
  executablePath: process.env.PRISMET_CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu'],
});
try {
  await everyPageOpensAndEveryLinkLands(browser);
  await theLinkedLineIsTheTarget(browser);
  await theLinkedLineAndARangeAreMarked(browser);
  await anIncludeLeadsToItsHeader(browser);
  await theSearchBoxFindsPages(browser);
  await indexesLeadToPagesAndBack(browser);
  await darkModeFollowsTheReader(browser);
  if (fs.existsSync(path.join(site, symbolsIndex))) {
    await aUseLeadsToItsDefinition(browser);
    await theSymbolIndexLeadsToANamesLines(browser);
    await aNamesUsesLeadToTheirLines(browser);
    await aDefinitionsNameLeadsToItsUses(browser);
    await theSearchBoxFindsNames(browser);
  }
  const server = await serve();
  try {
    const utf8 = (bytes) => new TextDecoder('utf-8').decode(bytes);
    await copiedCodeIsTheSource(browser, server, 'a.cpp.html', 'a.cpp', utf8);
    await copiedCodeIsTheSource(browser, server, 'sub/sjis.cpp.html', 'sub/sjis.cpp',
                                (bytes) => new TextDecoder('shift_jis').decode(bytes));
  } finally {
    server.close();
  }
} catch (error) {
  check('the browser checks ran to their end', false, error.stack);
} finally {
  await browser.close();
}
console.log(`check-site-browser: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
