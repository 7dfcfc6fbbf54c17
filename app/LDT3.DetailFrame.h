// The HTML view of the detail dialog: the detail page of one line.
#pragma once

#include <QString>
#include <QWidget>

class TVexWebBrowser;

class TLDTDetailFrame : public QWidget
{
    Q_OBJECT
public:
    explicit TLDTDetailFrame(QWidget *AOwner = nullptr);

    // An empty page.
    void Clear();
    // Clears, then shows a non-empty text as a page (UTF-8).
    void SetHTMLText(const QString &AText);
    TVexWebBrowser *WBDetail() const { return FWBDetail; }

private:
    TVexWebBrowser *FWBDetail = nullptr;
};
