// The results page: SoItem, ShowPage and DelPage for the program, one result
// page per search. Only the shown page has DOM; the others keep their data
// and scroll position, so many open tabs stay light. Catalog text is always
// inserted as text, never as markup.
import { PageList } from './pagelist.js';
import {
  activeFilters, creditKind, formatCount, formatPlace, formatPrice, markRanges, parseQuery, serviceName, SERVICE_ORDER,
} from './format.js';
import { PAGING_DEPTH } from './vocabulary.js';
import { narrowedQuery, narrowingLabel, withNarrowing } from './narrowing.js';

const PAGE_SIZE = 20;
const view = document.getElementById('view');

function el(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

function makePage(query) {
  return {
    query, params: parseQuery(query), pageNo: 1, state: 'loading', data: null, error: '', scrollY: 0, request: 0,
    narrowing: [],
  };
}

const list = new PageList(makePage);

// An answer within this time replaces what is shown directly: drawing
// "searching" first would cost a frame and make the view flicker.
const LOADING_DELAY_MS = 150;

async function load(page) {
  const request = ++page.request;
  page.state = 'loading';
  if (list.shown === page) {
    view.dataset.state = 'loading';
    setTimeout(() => {
      if (page.request === request && page.state === 'loading' && list.shown === page) draw();
    }, LOADING_DELAY_MS);
  }
  let state;
  let data = null;
  let error = '';
  try {
    const response = await fetch(`api/search?${narrowedQuery(page.query, page.narrowing)}&page=${page.pageNo}`
      + `&size=${PAGE_SIZE}&counts=true`, { cache: 'no-store' });
    const body = await response.json().catch(() => null);
    if (!response.ok) {
      state = 'error';
      error = body?.error?.message ?? `搜索服务返回 ${response.status}`;
    } else {
      state = body.total === 0 ? 'empty' : 'ready';
      data = body;
    }
  } catch {
    state = 'error';
    error = '无法连接搜索服务。';
  }
  if (request !== page.request) return;  // a newer request for this page took over
  Object.assign(page, { state, data, error });
  // Run again (F5), a page number past the new end goes to the last page.
  if (data && page.pageNo > lastPage(page)) {
    page.pageNo = lastPage(page);
    load(page);
    return;
  }
  if (list.shown === page) draw();
}

// The service pages no deeper than PAGING_DEPTH items.
function lastPage(page) {
  return page.data ? Math.max(1, Math.ceil(Math.min(page.data.total, PAGING_DEPTH) / PAGE_SIZE)) : 1;
}

function goTo(page, pageNo) {
  const target = Math.min(Math.max(1, pageNo), lastPage(page));
  if (target === page.pageNo && page.state !== 'error') return;
  page.pageNo = target;
  page.scrollY = 0;
  load(page);
}

function titleWithMarks(title, words) {
  const h = el('h3', 'title');
  let at = 0;
  for (const [start, end] of markRanges(title, words)) {
    if (start > at) h.append(document.createTextNode(title.slice(at, start)));
    h.append(el('mark', '', title.slice(start, end)));
    at = end;
  }
  if (at < title.length) h.append(document.createTextNode(title.slice(at)));
  return h;
}

function picture(item) {
  const box = el('div', 'picture');
  // A drawn stand-in, coloured by category so neighbouring cards differ.
  const hue = [...String(item.cid ?? '')].reduce((sum, c) => sum + c.charCodeAt(0), 0) % 6;
  const placeholder = el('div', `placeholder hue-${hue}`, (item.category || item.title || '?').slice(0, 1));
  box.append(placeholder);
  if (item.image) {
    const img = el('img');
    img.loading = 'lazy';
    img.alt = '';
    img.referrerPolicy = 'no-referrer';
    img.addEventListener('load', () => placeholder.remove());
    img.addEventListener('error', () => img.remove());
    img.src = item.image;
    box.append(img);
  }
  return box;
}

function card(item, words) {
  const li = el('li', 'card');
  const link = el('a', 'card-link');
  // Only web addresses are links; the program opens them in the user's browser.
  if (/^https?:\/\//i.test(item.url ?? '')) link.href = item.url;
  link.append(picture(item), titleWithMarks(item.title ?? '', words));
  const price = el('p', 'price', formatPrice(item.price));
  const sales = el('span', 'sales', `已售 ${formatCount(item.sales ?? 0)} 件`);
  price.append(sales);
  const where = el('p', 'place', formatPlace(item.province, item.city));
  const seller = el('p', 'seller');
  seller.append(el('span', 'nick', item.seller ?? ''),
    el('span', `credit credit-${creditKind(item.credit)}`, (item.creditText ?? '').replace(/\s+/g, '')));
  const badges = el('p', 'badges');
  for (const code of SERVICE_ORDER) {
    if ((item.services ?? []).includes(code)) badges.append(el('span', `badge badge-${code}`, serviceName(code)));
  }
  link.append(price, where, seller, badges);
  li.append(link);
  return li;
}

function pager(page) {
  const nav = el('nav', 'pager');
  nav.setAttribute('aria-label', '翻页');
  const last = lastPage(page);
  const prev = el('button', 'prev', '‹ 上一页');
  prev.type = 'button';
  prev.disabled = page.pageNo <= 1;
  prev.addEventListener('click', () => goTo(page, page.pageNo - 1));
  const next = el('button', 'next', '下一页 ›');
  next.type = 'button';
  next.disabled = page.pageNo >= last;
  next.addEventListener('click', () => goTo(page, page.pageNo + 1));
  nav.append(prev, el('span', 'position', `第 ${page.pageNo} / ${last} 页`), next);
  return nav;
}

function narrow(page, narrowing) {
  page.narrowing = withNarrowing(page.narrowing, narrowing);
  page.pageNo = 1;
  page.scrollY = 0;
  load(page);
}

// The narrowings in force, each removable; the tab's own search is untouched.
function chips(page) {
  const box = el('div', 'chips');
  box.append(el('span', 'chips-label', '已筛选：'));
  page.narrowing.forEach((n, at) => {
    const chip = el('button', 'chip', `${narrowingLabel(n)} ×`);
    chip.type = 'button';
    chip.title = '取消这项筛选';
    chip.addEventListener('click', () => {
      page.narrowing = page.narrowing.filter((_, i) => i !== at);
      page.pageNo = 1;
      page.scrollY = 0;
      load(page);
    });
    box.append(chip);
  });
  return box;
}

const FACET_ENTRIES = 6;

// Counts to narrow by: the largest few of each kind, as buttons.
function facets(page) {
  const counts = page.data.counts;
  const box = el('div', 'facets');
  const row = (title, entries) => {
    if (!entries.length) return;
    const line = el('div', 'facet-row');
    line.append(el('span', 'facet-title', title));
    for (const { label, count, narrowing } of entries.slice(0, FACET_ENTRIES)) {
      const button = el('button', 'facet', label);
      button.type = 'button';
      button.append(el('span', 'facet-count', formatCount(count)));
      button.addEventListener('click', () => narrow(page, narrowing));
      line.append(button);
    }
    box.append(line);
  };
  const has = (param) => page.narrowing.some((n) => n.param === param) || page.params.get(param);
  row('类目', has('cid') ? [] : (counts.categories ?? []).map((c) => ({
    label: c.name, count: c.count, narrowing: { param: 'cid', value: c.cid, label: c.name } })));
  row('地区', has('area') ? [] : (counts.places ?? []).map((p) => ({
    label: p.name, count: p.count, narrowing: { param: 'area', value: p.name, label: p.name } })));
  row('服务', (counts.services ?? []).filter((f) => !has(f.code) && f.count < page.data.total).map((f) => ({
    label: f.name, count: f.count, narrowing: { param: f.code, value: 'true', label: f.name } })));
  const priced = page.narrowing.some((n) => n.param === 'price');
  row('价格', priced ? [] : (counts.prices ?? []).filter((r) => r.count < page.data.total).map((r) => {
    const label = r.to === null ? `${r.from} 元以上` : `${r.from}–${r.to} 元`;
    return { label, count: r.count, narrowing: { param: 'price', value: [r.from, r.to], label } };
  }));
  return box;
}

function draw() {
  const page = list.shown;
  view.replaceChildren();
  view.dataset.state = page ? page.state : 'none';
  if (!page) return;
  const words = page.data?.words ?? [];
  if (page.state === 'loading') {
    view.append(el('p', 'status loading', '正在搜索…'));
  } else if (page.state === 'error') {
    const box = el('div', 'status error');
    box.append(el('p', 'message', page.error));
    const retry = el('button', 'retry', '重试');
    retry.type = 'button';
    retry.addEventListener('click', () => load(page));
    box.append(retry);
    view.append(box);
    retry.focus({ preventScroll: true });
  } else if (page.state === 'empty') {
    if (page.narrowing.length) view.append(chips(page));
    const box = el('div', 'status empty');
    box.append(el('p', 'message', '没有找到符合条件的商品。'));
    const filters = activeFilters(page.params, words);
    if (filters.length) {
      box.append(el('p', 'hint', '可以放宽这些条件再搜索：'));
      const ul = el('ul', 'loosen');
      for (const f of filters) ul.append(el('li', '', f));
      box.append(ul);
    }
    view.append(box);
  } else {
    const header = el('header', 'summary');
    header.append(el('span', 'total', `找到 ${formatCount(page.data.total)} 件商品`),
      el('span', 'took', `用时 ${page.data.tookMs} 毫秒`));
    const grid = el('ul', 'grid');
    for (const item of page.data.items) grid.append(card(item, words));
    view.append(header);
    if (page.narrowing.length) view.append(chips(page));
    if (page.data.counts) view.append(facets(page));
    view.append(grid, pager(page));
  }
  window.scrollTo(0, page.scrollY);
}

function rememberScroll() {
  if (list.shown) list.shown.scrollY = window.scrollY;
}

window.SoItem = function SoItem(query, _n) {
  rememberScroll();
  const { index, added } = list.open(query);
  if (added) load(list.shown);
  else draw();
  return index;
};

window.ShowPage = function ShowPage(index) {
  rememberScroll();
  list.show(index);
  draw();
};

window.DelPage = function DelPage(index) {
  if (list.current !== Number(index)) rememberScroll();
  const { next } = list.remove(index);
  draw();
  return next;
};

// The number of results of page index, for the program's tab tooltip; -1
// while the page has no answer yet.
window.ResultCount = function ResultCount(index) {
  const page = list.pages[Number(index)];
  return page && page.data ? page.data.total : -1;
};

// F5 runs the shown page's search again in place: a reload of the whole page
// would lose every result page behind the program's tabs.
document.addEventListener('keydown', (event) => {
  if (event.key !== 'F5') return;
  event.preventDefault();
  const page = list.shown;
  if (page) load(page);
});

// Keys a browser user expects for paging: Alt+Left / Alt+Right (back and
// forward), and the arrows when nothing else takes them.
document.addEventListener('keydown', (event) => {
  const page = list.shown;
  if (!page || page.state !== 'ready' || event.ctrlKey || event.metaKey || event.shiftKey) return;
  if (event.target instanceof HTMLInputElement) return;
  if (event.key === 'ArrowLeft' || event.key === 'ArrowRight') {
    event.preventDefault();
    goTo(page, page.pageNo + (event.key === 'ArrowRight' ? 1 : -1));
  }
});
