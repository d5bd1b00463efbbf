#pragma once

// The preview's drawing surface: one page of the document, drawn at the
// widget's size. Nothing but the shown page is ever drawn.

#include <QSizeF>
#include <QWidget>

class PrintSurface;

class PageView : public QWidget {
    Q_OBJECT
public:
    PageView(const PrintSurface& surface, QWidget* parent = nullptr);

    // The drawn size in twips; the widget takes the matching size in pixels.
    void SetTwipsSize(QSizeF twips);
    QSizeF TwipsSize() const { return mTwips; }
    void SetPage(int page);
    int Page() const { return mPage; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PrintSurface& mSurface;
    QSizeF mTwips;
    int mPage = 1;
};
