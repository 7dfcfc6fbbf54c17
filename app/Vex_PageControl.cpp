#include "Vex_PageControl.h"

#include <QEvent>
#include <QStackedWidget>
#include <QTabBar>

TVexPageControl::TVexPageControl(QWidget *AParent) : QTabWidget(AParent) {}

TVexPageControl::TLayoutKey TVexPageControl::LayoutKey() const
{
    TLayoutKey k;
    k.Size = size();
    k.BarHint = tabBar()->sizeHint();
    k.BarMin = tabBar()->minimumSizeHint();
    k.BarVisible = tabBar()->isVisibleTo(this);
    // the pages' stack is the tab widget's own child
    if (const auto *pages = findChild<const QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        k.PagesHint = pages->sizeHint();
        k.PagesMin = pages->minimumSizeHint();
    }
    k.Count = count();
    k.Current = currentIndex();
    return k;
}

bool TVexPageControl::event(QEvent *AEvent)
{
    if (AEvent->type() == QEvent::LayoutRequest && isVisible()) {
        const TLayoutKey key = LayoutKey();
        if (key == FLaidOut)
            return true;
        FLaidOut = key;
    }
    return QTabWidget::event(AEvent);
}
