// The raw text of the loaded file: a read-only view that paints only the
// lines it shows, straight from the mapped bytes (ISO 8859-15, converted to
// UTF-16 for the visible part only). A 100 MB file costs no text document.
// Lines are the file's lines; a caret, a selection, copy and select all.
#pragma once

#include "LDT3.FilePtrList.h"

#include <QAbstractScrollArea>
#include <QString>

class TLDT3RawView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit TLDT3RawView(QWidget *AParent = nullptr);

    // A fixed-pitch font whose lines are 21 pixels high ("Lucida Console" where it exists).
    static QFont DefaultFont();

    // Shows a loaded file (not owned; null shows nothing): caret at the
    // start, no selection. Call with null before the file is cleared.
    void SetPtrList(const TLDT3FilePtrList *APtrList);
    void Clear() { SetPtrList(nullptr); }
    const TLDT3FilePtrList *PtrList() const { return FPtrList; }
    int LineCount() const;

    // Selects the whole line AIndex (0-based) and scrolls it into view;
    // false outside the lines. Programmatic: no FollowZeile.
    bool RawGotoIndex(int AIndex);
    bool RawGotoZeile(int ALineNo) { return RawGotoIndex(ALineNo - 1); }

    // Caret (0-based line and column) and the selection as file byte offsets.
    int CaretLine() const { return FCaret.Line; }
    int CaretColumn() const { return FCaret.Col; }
    bool HasSelection() const { return SelectionStart() != SelectionEnd(); }
    qint64 SelectionStart() const;
    qint64 SelectionEnd() const;
    QString SelectedText() const;
    // The text of line AIndex without its line end.
    QString LineText(int AIndex) const;
    // "Zeile: %d von %d" with a selection, else with " - Zeichen: %d"; empty without a file.
    QString StatusText() const;

    // Line geometry in viewport coordinates.
    int LineHeight() const { return FLineHeight; }
    int TopLine() const;
    int VisibleLineCount() const;
    int YOfLine(int AIndex) const;
    int LineAtY(int AY) const;

public Q_SLOTS:
    void Copy();
    void SelectAll();

Q_SIGNALS:
    // The text of the raw status line; sent whenever caret or selection change.
    void StatusTextChanged(const QString &AText);
    // The user moved caret or selection to line ALineNo (1-based). Not sent
    // for RawGotoIndex, so a view that follows cannot echo back.
    void FollowZeile(int ALineNo);

protected:
    bool event(QEvent *AEvent) override;
    void paintEvent(QPaintEvent *AEvent) override;
    void resizeEvent(QResizeEvent *AEvent) override;
    void scrollContentsBy(int ADx, int ADy) override;
    void keyPressEvent(QKeyEvent *AEvent) override;
    void mousePressEvent(QMouseEvent *AEvent) override;
    void mouseMoveEvent(QMouseEvent *AEvent) override;
    void mouseDoubleClickEvent(QMouseEvent *AEvent) override;
    void changeEvent(QEvent *AEvent) override;
    void focusInEvent(QFocusEvent *AEvent) override;
    void focusOutEvent(QFocusEvent *AEvent) override;

private:
    struct TPos
    {
        int Line = 0; // LineCount() means the end of the file (after select all)
        int Col = 0;
        bool operator==(const TPos &) const = default;
    };

    bool Valid() const;
    int BodyLen(int AIndex) const;
    qint64 Offset(TPos APos) const;
    TPos PosAt(QPoint APoint) const;
    void SetSelection(TPos AAnchor, TPos ACaret, bool AByUser);
    void MoveCaret(TPos ACaret, bool AKeepAnchor);
    void EnsureVisible(int ALine, int ACol);
    void UpdateMetrics();
    void UpdateScrollBars();
    qreal XOfCol(int ACol) const;
    void DrawSegment(QPainter &APainter, qreal AX, int AY, const uchar *ABytes, int ALen);

    const TLDT3FilePtrList *FPtrList = nullptr;
    int FLineCount = 0;
    int FMaxLineLen = 0;
    TPos FAnchor;
    TPos FCaret;
    qreal FCharWidth = 8;
    int FLineHeight = 16;
    int FAscent = 12;
    bool FFixedPitch = true;
    QString FPaintBuf; // reused for every painted line
};
