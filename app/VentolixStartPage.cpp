#include "VentolixStartPage.h"

#include "Vex_Icons.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QResizeEvent>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>


namespace {

// A tree entry: points at its configuration entry; its hint is the address
// a click opens, worked out when asked (a local copy may appear meanwhile).
class TStartTreeItem : public QTreeWidgetItem
{
public:
    TStartTreeItem(const TVentolixStart &AStart, const TXMLStartEntry &AEntry)
        : QTreeWidgetItem(QStringList{AEntry.Name()}), FStart(AStart), FEntry(AEntry)
    {
    }
    const TXMLStartEntry &Entry() const { return FEntry; }
    QVariant data(int AColumn, int ARole) const override
    {
        if (ARole == Qt::ToolTipRole) {
            const QString url = FStart.GetStartRec(FEntry).URLToCall;
            return url.isEmpty() ? QVariant() : QVariant(url);
        }
        return QTreeWidgetItem::data(AColumn, ARole);
    }

private:
    const TVentolixStart &FStart;
    const TXMLStartEntry &FEntry;
};

TStartTreeItem *AddEntry(const TVentolixStart &AStart, const TXMLStartEntry &AEntry)
{
    auto *item = new TStartTreeItem(AStart, AEntry);
    for (int i = 0; i < AEntry.Count(); ++i)
        item->addChild(AddEntry(AStart, AEntry.Items(i)));
    return item;
}

} // namespace

TVentolixStartPage::TVentolixStartPage(TVentolixStart &AStart, IStartBrowser &ABrowser, QWidget *AParent)
    : QWidget(AParent), FStart(AStart), FBrowser(ABrowser)
{
    FTVStart = new QTreeWidget;
    FTVStart->setObjectName(QStringLiteral("TVStart"));
    FTVStart->setHeaderHidden(true);
    FTVStart->setColumnCount(1);
    FTVStart->setRootIsDecorated(false); // top-level entries stay open, without expanders
    FTVStart->setContextMenuPolicy(Qt::CustomContextMenu);
    FTVStart->setSelectionMode(QAbstractItemView::SingleSelection);
    // long names scroll rather than being cut short
    FTVStart->header()->setStretchLastSection(false);
    FTVStart->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    FActionGoBack = new QAction(VexIcon(QStringLiteral("back")), QStringLiteral("Zurück"), this);
    FActionGoBack->setToolTip(QStringLiteral("Zurück"));
    FActionGoForward = new QAction(VexIcon(QStringLiteral("forward")), QStringLiteral("Vorwärts"), this);
    FActionGoForward->setToolTip(QStringLiteral("Vorwärts"));
    FActionRefresh = new QAction(VexIcon(QStringLiteral("refresh")), QStringLiteral("Aktualisieren"), this);
    FActionRefresh->setToolTip(QStringLiteral("Aktualisieren"));
    FActionRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    FActionRefresh->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(FActionRefresh);
    FActionOpenLinkInNewWindow = new QAction(QStringLiteral("Link in neuem Fenster öffnen"), this);
    FActionGoBack->setEnabled(false);
    FActionGoForward->setEnabled(false);
    FActionOpenLinkInNewWindow->setEnabled(false);

    FToolBar = new QToolBar;
    FToolBar->setObjectName(QStringLiteral("ToolBarStart"));
    FToolBar->setIconSize(QSize(16, 16));
    FToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    FToolBar->addAction(FActionGoBack);
    FToolBar->addAction(FActionGoForward);
    FToolBar->addAction(FActionRefresh);

    FPanelURL = new QLineEdit;
    FPanelURL->setObjectName(QStringLiteral("PanelURL"));
    FPanelURL->setReadOnly(true);
    FPanelURL->setFrame(false);
    FPanelURL->setFocusPolicy(Qt::ClickFocus);

    auto *bar = new QWidget;
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(2);
    barLayout->addWidget(FToolBar);
    barLayout->addWidget(FPanelURL, 1); // the bar's width minus the tool bar

    auto *right = new QWidget;
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    rightLayout->addWidget(bar);
    rightLayout->addWidget(FBrowser.View(), 1);

    FSplitter = new QSplitter(Qt::Horizontal);
    FSplitter->setObjectName(QStringLiteral("SplitterStart"));
    FSplitter->addWidget(FTVStart);
    FSplitter->addWidget(right);
    FSplitter->setStretchFactor(0, 0); // the tree keeps its width when the window changes
    FSplitter->setStretchFactor(1, 1);
    FSplitter->setCollapsible(0, true);
    FSplitter->setCollapsible(1, false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FSplitter);

    FPopupMenuStart = new QMenu(this);
    FPopupMenuStart->addAction(FActionOpenLinkInNewWindow);

    connect(FTVStart, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *AItem) { TVStartClick(AItem); });
    connect(FTVStart, &QWidget::customContextMenuRequested, this, [this](const QPoint &APos) {
        PopupMenuStartPopup(APos);
        FPopupMenuStart->popup(FTVStart->viewport()->mapToGlobal(APos));
    });
    connect(FActionGoBack, &QAction::triggered, this, [this]() { FBrowser.GoBack(); });
    connect(FActionGoForward, &QAction::triggered, this, [this]() { FBrowser.GoForward(); });
    connect(FActionRefresh, &QAction::triggered, this, [this]() { FBrowser.Reload(); });
    connect(FActionOpenLinkInNewWindow, &QAction::triggered, this, [this]() {
        if (!FStartURL.isEmpty())
            WBStartNavigateToURL(FStartURL, true);
    });
    connect(&FBrowser, &IStartBrowser::BeforeNavigate, this, [this](const QString &AURL) { FPanelURL->setText(AURL); });
    connect(&FBrowser, &IStartBrowser::CommandStateChanged, this, [this]() { WBStartCommandStateChange(); });
    connect(FSplitter, &QSplitter::splitterMoved, this, [this]() {
        FTVStartWidthAuto = false;
        SplitterMoved();
    });

    // either of the two may go first when the main window is destroyed
    FStart.SetFillStartTree([page = QPointer<TVentolixStartPage>(this)](const IXMLVentolix &AVentolix) {
        return page && page->FillStartTree(AVentolix);
    });
    WBStartCommandStateChange();
}

TVentolixStartPage::~TVentolixStartPage() = default;

bool TVentolixStartPage::FillStartTree(const IXMLVentolix &AVentolix)
{
    FTVStart->clear(); // before the configuration its items point into goes
    FIVentolix = AVentolix;
    if (FIVentolix) {
        const TXMLStartseite &start = FIVentolix->Startseite();
        for (int i = 0; i < start.Count(); ++i) {
            QTreeWidgetItem *item = AddEntry(FStart, start.Level1(i));
            FTVStart->addTopLevelItem(item);
            FTVStart->expandRecursively(FTVStart->indexFromItem(item));
        }
    }
    const bool hasEntries = FTVStart->topLevelItemCount() > 0;
    if (hasEntries) {
        QTreeWidgetItem *first = FTVStart->topLevelItem(0);
        FTVStart->setCurrentItem(first);
        TVStartClick(first);
    }
    Q_EMIT StartTreeBuilt(hasEntries);
    return hasEntries;
}

void TVentolixStartPage::TVStartClick(QTreeWidgetItem *AItem)
{
    const auto *item = dynamic_cast<TStartTreeItem *>(AItem);
    if (!item)
        return;
    const QString url = FStart.GetStartRec(item->Entry()).URLToCall;
    if (!url.isEmpty())
        WBStartNavigateToURL(url, false);
}

void TVentolixStartPage::PopupMenuStartPopup(const QPoint &APos)
{
    const auto *item = dynamic_cast<TStartTreeItem *>(FTVStart->itemAt(APos));
    FStartURL = item ? FStart.GetStartRec(item->Entry()).URLToCall : QString();
    FActionOpenLinkInNewWindow->setEnabled(!FStartURL.isEmpty());
}

void TVentolixStartPage::WBStartNavigateToURL(const QString &AURL, bool AInNewWindow)
{
    if (!AInNewWindow)
        FPanelURL->setText(AURL);
    FBrowser.NavigateToURL(AURL, AInNewWindow);
}

void TVentolixStartPage::WBStartCommandStateChange()
{
    FActionGoBack->setEnabled(FBrowser.CanGoBack());
    FActionGoForward->setEnabled(FBrowser.CanGoForward());
}

void TVentolixStartPage::SetTVStartWidth(int AWidth)
{
    FTVStartWidth = AWidth;
    FTVStartWidthAuto = false;
    ApplyTVStartWidth();
}

void TVentolixStartPage::ApplyTVStartWidth()
{
    // before the page is shown its size is not yet the one the window gives it
    const int clientWidth = width();
    if (!isVisible() || clientWidth <= 0)
        return;
    // a width nobody chose follows the page until the splitter is moved
    if (FTVStartWidth <= 0 || FTVStartWidth >= clientWidth || FTVStartWidthAuto) {
        FTVStartWidth = clientWidth / 5;
        FTVStartWidthAuto = true;
    }
    FSplitter->setSizes({FTVStartWidth, qMax(0, clientWidth - FTVStartWidth - FSplitter->handleWidth())});
    SplitterMoved();
}

void TVentolixStartPage::resizeEvent(QResizeEvent *AEvent)
{
    QWidget::resizeEvent(AEvent);
    ApplyTVStartWidth();
}

void TVentolixStartPage::showEvent(QShowEvent *AEvent)
{
    QWidget::showEvent(AEvent);
    ApplyTVStartWidth();
}

void TVentolixStartPage::SplitterMoved()
{
    const int treeWidth = FSplitter->sizes().value(0);
    if (treeWidth > 2) {
        FSplitter->setHandleWidth(3);
        FTVStart->setMinimumWidth(30);
    } else {
        // a collapsed tree leaves a wide handle that is easy to grab; pulled
        // out again it opens at a fifth of the page
        FSplitter->setHandleWidth(12);
        FTVStart->setMinimumWidth(width() / 5);
    }
    FTVStartWidth = treeWidth;
}
