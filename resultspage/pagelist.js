// The ordered list of result pages behind the program's tabs. No DOM here, so
// node's test runner can check it; app.js draws what it says.
//
// Page i stands for the program's tab i. The program relies on:
//  - open(query) answers the index of the page showing the search; a new page
//    goes at the end, so its index equals the number of pages before it;
//  - remove(i) answers the index shown next: the page that took i's place,
//    else the one before it, else -1.

export class PageList {
  constructor(makePage = (query) => ({ query })) {
    this.pages = [];
    this.current = -1;
    this.makePage = makePage;
  }

  get length() {
    return this.pages.length;
  }

  get shown() {
    return this.current >= 0 ? this.pages[this.current] : null;
  }

  // A repeated identical query shows the page that already has it.
  open(query) {
    const text = String(query);
    const existing = this.pages.findIndex((page) => page.query === text);
    if (existing >= 0) {
      this.current = existing;
      return { index: existing, added: false };
    }
    this.pages.push(this.makePage(text));
    this.current = this.pages.length - 1;
    return { index: this.current, added: true };
  }

  show(index) {
    this.current = this.checked(index);
    return this.current;
  }

  remove(index) {
    const at = this.checked(index);
    const [removed] = this.pages.splice(at, 1);
    if (this.pages.length === 0) this.current = -1;
    else this.current = at < this.pages.length ? at : at - 1;
    return { next: this.current, removed };
  }

  checked(index) {
    const i = Number(index);
    if (!Number.isInteger(i) || i < 0 || i >= this.pages.length) {
      throw new RangeError(`no result page ${index} (there are ${this.pages.length})`);
    }
    return i;
  }
}
