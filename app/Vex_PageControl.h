// A tab widget that lays itself out (and repaints all of itself) only when
// something it lays out changed.
//
// QTabWidget answers every layout request of any of its descendants with a
// new layout and a repaint of the whole widget with all its children. A
// status line that shows a new text makes such a request, so every move in
// the line list or the raw text would repaint the whole pane, tool bars and
// all. This one ignores a request when the tab bar's and the pages' size
// hints and its own size are what they were at the last layout.
#pragma once

#include <QTabWidget>

class TVexPageControl : public QTabWidget
{
    Q_OBJECT
public:
    explicit TVexPageControl(QWidget *AParent = nullptr);

protected:
    bool event(QEvent *AEvent) override;

private:
    struct TLayoutKey
    {
        QSize Size, BarHint, BarMin, PagesHint, PagesMin;
        int Count = -1, Current = -1;
        bool BarVisible = false;
        bool operator==(const TLayoutKey &) const = default;
    };
    TLayoutKey LayoutKey() const;

    TLayoutKey FLaidOut;
};
