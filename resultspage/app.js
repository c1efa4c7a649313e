// The results page's script interface for the program: SoItem, ShowPage and
// DelPage on the window object, over the list in pagelist.js.
import { PageList } from './pagelist.js';

const container = document.getElementById('pages');

function makePage(query) {
  const element = document.createElement('section');
  element.className = 'result-page';
  const line = document.createElement('p');
  line.className = 'query';
  line.textContent = query;
  element.append(line);
  container.append(element);
  return { query, element };
}

const list = new PageList(makePage);

function draw() {
  list.pages.forEach((page, i) => { page.element.hidden = i !== list.current; });
}

window.SoItem = function SoItem(query, _n) {
  const { index } = list.open(query);
  draw();
  return index;
};

window.ShowPage = function ShowPage(index) {
  list.show(index);
  draw();
};

window.DelPage = function DelPage(index) {
  const { next, removed } = list.remove(index);
  removed.element.remove();
  draw();
  return next;
};
