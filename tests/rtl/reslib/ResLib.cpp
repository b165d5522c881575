// A static library whose only purpose is to carry resources nothing refers to by symbol: the
// test checks that linking it still registers them.
int kxTestResLibUnused() { return 0; }
