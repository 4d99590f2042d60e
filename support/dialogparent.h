// The window that the page's modal forms belong to.
#pragma once

class IQM6AdminControl;
class QWidget;

// The top-level window that holds the page, found through the page's widget. Never through
// the page's hWnd: asking a widget for its window handle turns it into a native window.
// Null when the page has no widget.
QWidget *DialogParent(IQM6AdminControl *page);
