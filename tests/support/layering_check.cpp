// Linked with every object of the core library and nothing of Qt Widgets: the
// link fails if the core library ever comes to depend on a widget.
int main() { return 0; }
