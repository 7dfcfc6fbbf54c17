#include "LDT3.RawView.h"

#include "LDT3.Zeichen.h"
#include "WStrTools.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>
#include <limits>

namespace {

constexpr int RawLineHeight = 21;
constexpr int TextMargin = 4;

// Bytes without a glyph of their own (controls) are painted as U+00A4: in
// ISO 8859-15 no byte stands for it, so it cannot be mistaken for content.
inline bool IsControlByte(uchar b)
{
    return b < 0x20 || (b >= 0x7F && b < 0xA0);
}
constexpr char16_t ControlGlyph = 0x00A4;

// The bytes as the text holds them: every byte one character, controls kept.
// One table lookup per byte: a whole 100 MB file converts in well under a second.
QString BytesAsText(const uchar *P, qint64 N)
{
    QString r(N, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(r.data());
    for (qint64 i = 0; i < N; ++i)
        d[i] = LDT3Zeichen::Iso885915[P[i]];
    return r;
}

} // namespace

TLDT3RawView::TLDT3RawView(QWidget *AParent) : QAbstractScrollArea(AParent)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    setFont(DefaultFont());
    UpdateMetrics();
}

QFont TLDT3RawView::DefaultFont()
{
    QFont f(QStringLiteral("Lucida Console"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    if (!QFontInfo(f).fixedPitch())
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setKerning(false);
    // The largest size whose lines fit 21 pixels.
    for (int px = RawLineHeight; px > 6; --px) {
        f.setPixelSize(px);
        if (QFontMetrics(f).height() <= RawLineHeight)
            break;
    }
    return f;
}

// ---------------------------------------------------------------- the file

bool TLDT3RawView::Valid() const
{
    // A file cleared behind the view's back shows nothing rather than freed bytes.
    return FPtrList && FPtrList->FileIsOpen() && FPtrList->Count() == FLineCount && FLineCount > 0;
}

int TLDT3RawView::LineCount() const
{
    return Valid() ? FLineCount : 0;
}

void TLDT3RawView::SetPtrList(const TLDT3FilePtrList *APtrList)
{
    FPtrList = APtrList;
    FLineCount = APtrList && APtrList->FileIsOpen() ? APtrList->Count() : 0;
    FMaxLineLen = 0;
    for (int i = 0; i < FLineCount; ++i)
        FMaxLineLen = qMax(FMaxLineLen, APtrList->LenOrgLine(i));
    FAnchor = FCaret = TPos();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    UpdateScrollBars();
    viewport()->update();
    Q_EMIT StatusTextChanged(StatusText());
}

int TLDT3RawView::BodyLen(int AIndex) const
{
    if (!Valid() || AIndex < 0 || AIndex >= FLineCount)
        return 0;
    const uchar *p = FPtrList->PtrOrgLine(AIndex);
    int n = FPtrList->LenOrgLine(AIndex);
    while (n > 0 && (p[n - 1] == 0x0D || p[n - 1] == 0x0A))
        --n;
    return n;
}

qint64 TLDT3RawView::Offset(TPos APos) const
{
    if (!Valid())
        return 0;
    if (APos.Line >= FLineCount)
        return FPtrList->FileSize();
    return FPtrList->Offset(APos.Line) + qBound(0, APos.Col, BodyLen(APos.Line));
}

qint64 TLDT3RawView::SelectionStart() const
{
    return qMin(Offset(FAnchor), Offset(FCaret));
}

qint64 TLDT3RawView::SelectionEnd() const
{
    return qMax(Offset(FAnchor), Offset(FCaret));
}

QString TLDT3RawView::SelectedText() const
{
    const qint64 a = SelectionStart();
    const qint64 n = SelectionEnd() - a;
    if (!Valid() || n <= 0)
        return QString();
    return BytesAsText(FPtrList->FileBase() + a, n);
}

QString TLDT3RawView::LineText(int AIndex) const
{
    if (!Valid() || AIndex < 0 || AIndex >= FLineCount)
        return QString();
    return BytesAsText(FPtrList->PtrOrgLine(AIndex), BodyLen(AIndex));
}

QString TLDT3RawView::StatusText() const
{
    if (!Valid())
        return QString();
    const int line = qMin(FCaret.Line, FLineCount - 1) + 1;
    if (HasSelection())
        return Format(QStringLiteral("Zeile: %d von %d"), {line, FLineCount});
    return Format(QStringLiteral("Zeile: %d von %d - Zeichen: %d"), {line, FLineCount, FCaret.Col});
}

// ---------------------------------------------------------------- selection

void TLDT3RawView::SetSelection(TPos AAnchor, TPos ACaret, bool AByUser)
{
    if (AAnchor == FAnchor && ACaret == FCaret)
        return;
    FAnchor = AAnchor;
    FCaret = ACaret;
    viewport()->update();
    Q_EMIT StatusTextChanged(StatusText());
    if (AByUser && Valid())
        Q_EMIT FollowZeile(qMin(FCaret.Line, FLineCount - 1) + 1);
}

void TLDT3RawView::MoveCaret(TPos ACaret, bool AKeepAnchor)
{
    if (!Valid())
        return;
    ACaret.Line = qBound(0, ACaret.Line, FLineCount - 1);
    ACaret.Col = qBound(0, ACaret.Col, BodyLen(ACaret.Line));
    SetSelection(AKeepAnchor ? FAnchor : ACaret, ACaret, true);
    EnsureVisible(ACaret.Line, ACaret.Col);
}

bool TLDT3RawView::RawGotoIndex(int AIndex)
{
    if (!Valid() || AIndex < 0 || AIndex >= FLineCount)
        return false;
    SetSelection(TPos{AIndex, 0}, TPos{AIndex, BodyLen(AIndex)}, false);
    EnsureVisible(AIndex, 0);
    return true;
}

void TLDT3RawView::SelectAll()
{
    if (!Valid())
        return;
    SetSelection(TPos{0, 0}, TPos{FLineCount, 0}, true);
}

void TLDT3RawView::Copy()
{
    if (HasSelection())
        QApplication::clipboard()->setText(SelectedText());
}

// ---------------------------------------------------------------- geometry

void TLDT3RawView::UpdateMetrics()
{
    const QFontMetricsF fm(font());
    FFixedPitch = QFontInfo(font()).fixedPitch();
    FCharWidth = qMax<qreal>(1, fm.horizontalAdvance(QLatin1Char('M')));
    FLineHeight = qMax(1, QFontMetrics(font()).height());
    FAscent = QFontMetrics(font()).ascent();
    UpdateScrollBars();
    viewport()->update();
}

int TLDT3RawView::TopLine() const
{
    return verticalScrollBar()->value();
}

int TLDT3RawView::VisibleLineCount() const
{
    return qMax(1, viewport()->height() / FLineHeight);
}

int TLDT3RawView::YOfLine(int AIndex) const
{
    return (AIndex - TopLine()) * FLineHeight;
}

int TLDT3RawView::LineAtY(int AY) const
{
    if (LineCount() == 0)
        return -1;
    const int line = TopLine() + (AY < 0 ? -1 - (-AY - 1) / FLineHeight : AY / FLineHeight);
    return qBound(0, line, FLineCount - 1);
}

qreal TLDT3RawView::XOfCol(int ACol) const
{
    return TextMargin + ACol * FCharWidth - horizontalScrollBar()->value();
}

void TLDT3RawView::UpdateScrollBars()
{
    const int lines = LineCount();
    const int visible = VisibleLineCount();
    QScrollBar *vs = verticalScrollBar();
    vs->setRange(0, qMax(0, lines - visible));
    vs->setPageStep(visible);
    vs->setSingleStep(1);
    QScrollBar *hs = horizontalScrollBar();
    // a line of hundreds of megabytes would overflow the pixel range: it is cut there
    const qreal width = 2 * TextMargin + (Valid() ? FMaxLineLen + 1.0 : 0.0) * FCharWidth;
    const int max = int(qMin<qreal>(width - viewport()->width(), std::numeric_limits<int>::max() / 2));
    hs->setRange(0, qMax(0, max));
    hs->setPageStep(viewport()->width());
    hs->setSingleStep(int(std::ceil(FCharWidth)));
}

void TLDT3RawView::EnsureVisible(int ALine, int ACol)
{
    QScrollBar *vs = verticalScrollBar();
    const int visible = VisibleLineCount();
    if (ALine < vs->value())
        vs->setValue(ALine);
    else if (ALine >= vs->value() + visible)
        vs->setValue(ALine - visible + 1);
    QScrollBar *hs = horizontalScrollBar();
    const qreal x = TextMargin + ACol * FCharWidth;
    if (x - TextMargin < hs->value())
        hs->setValue(int(x - TextMargin));
    else if (x + FCharWidth > hs->value() + viewport()->width())
        hs->setValue(int(std::ceil(x + FCharWidth - viewport()->width())));
}

TLDT3RawView::TPos TLDT3RawView::PosAt(QPoint APoint) const
{
    TPos r;
    r.Line = qMax(0, LineAtY(APoint.y()));
    const qreal col = (APoint.x() - TextMargin + horizontalScrollBar()->value()) / FCharWidth;
    r.Col = qBound(0, int(std::lround(col)), BodyLen(r.Line));
    return r;
}

// ---------------------------------------------------------------- painting

void TLDT3RawView::DrawSegment(QPainter &APainter, qreal AX, int AY, const uchar *ABytes, int ALen)
{
    // Converts only the visible bytes, into a buffer kept between lines.
    FPaintBuf.resize(ALen);
    char16_t *d = reinterpret_cast<char16_t *>(FPaintBuf.data());
    for (int i = 0; i < ALen; ++i)
        d[i] = IsControlByte(ABytes[i]) ? ControlGlyph : LDT3Zeichen::Iso885915[ABytes[i]];
    if (FFixedPitch) {
        APainter.drawText(QPointF(AX, AY + FAscent), FPaintBuf);
        return;
    }
    // A proportional font still keeps every character in its column.
    for (int i = 0; i < ALen; ++i)
        APainter.drawText(QPointF(AX + i * FCharWidth, AY + FAscent), QString(QChar(d[i])));
}

void TLDT3RawView::paintEvent(QPaintEvent *AEvent)
{
    QPainter p(viewport());
    const QRect area = AEvent->rect();
    p.fillRect(area, palette().brush(QPalette::Base));
    if (!Valid())
        return;
    p.setFont(font());

    const int top = TopLine();
    const int first = top + qMax(0, area.top()) / FLineHeight;
    const int last = qMin(FLineCount - 1, top + area.bottom() / FLineHeight);
    const int hx = horizontalScrollBar()->value();
    const int firstCol = qMax(0, int((hx - TextMargin) / FCharWidth));
    const int cols = int(viewport()->width() / FCharWidth) + 2;
    const qint64 selA = SelectionStart();
    const qint64 selB = SelectionEnd();
    const QColor text = palette().color(QPalette::Text);
    const QColor selText = palette().color(QPalette::HighlightedText);
    const QBrush selBrush = palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive,
                                            QPalette::Highlight);

    for (int line = first; line <= last; ++line) {
        const int y = (line - top) * FLineHeight;
        const qint64 off = FPtrList->Offset(line);
        const uchar *bytes = FPtrList->PtrOrgLine(line);
        const int n = BodyLen(line);
        const int segLen = qBound(0, n - firstCol, cols);

        // the selected columns of this line; a selected line end shows as one more column
        QRectF selRect;
        if (selB > off && selA <= off + n) {
            const int c0 = int(qMax<qint64>(0, selA - off));
            const int c1 = selB > off + n ? n + 1 : int(selB - off);
            if (c1 > c0)
                selRect = QRectF(XOfCol(c0), y, (c1 - c0) * FCharWidth, FLineHeight);
        }
        p.setPen(text);
        if (segLen > 0)
            DrawSegment(p, XOfCol(firstCol), y, bytes + firstCol, segLen);
        if (!selRect.isEmpty()) {
            p.fillRect(selRect, selBrush);
            if (segLen > 0) {
                p.save();
                p.setClipRect(selRect);
                p.setPen(selText);
                DrawSegment(p, XOfCol(firstCol), y, bytes + firstCol, segLen);
                p.restore();
            }
        }
        if (line == FCaret.Line && hasFocus()) {
            const qreal x = XOfCol(FCaret.Col);
            p.fillRect(QRectF(x, y, 1, FLineHeight), text);
        }
    }
}

void TLDT3RawView::resizeEvent(QResizeEvent *AEvent)
{
    QAbstractScrollArea::resizeEvent(AEvent);
    UpdateScrollBars();
}

void TLDT3RawView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void TLDT3RawView::changeEvent(QEvent *AEvent)
{
    QAbstractScrollArea::changeEvent(AEvent);
    if (AEvent->type() == QEvent::FontChange)
        UpdateMetrics();
}

void TLDT3RawView::focusInEvent(QFocusEvent *AEvent)
{
    QAbstractScrollArea::focusInEvent(AEvent);
    viewport()->update();
}

void TLDT3RawView::focusOutEvent(QFocusEvent *AEvent)
{
    QAbstractScrollArea::focusOutEvent(AEvent);
    viewport()->update();
}

// ---------------------------------------------------------------- input

bool TLDT3RawView::event(QEvent *AEvent)
{
    // Copy and select all stay with the focused raw text even where the
    // window has actions with the same shortcuts.
    if (AEvent->type() == QEvent::ShortcutOverride) {
        auto *ke = static_cast<QKeyEvent *>(AEvent);
        if (ke == QKeySequence::Copy || ke == QKeySequence::SelectAll) {
            AEvent->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(AEvent);
}

void TLDT3RawView::keyPressEvent(QKeyEvent *AEvent)
{
    if (AEvent == QKeySequence::Copy) {
        Copy();
        return;
    }
    if (AEvent == QKeySequence::SelectAll) {
        SelectAll();
        return;
    }
    if (!Valid()) {
        QAbstractScrollArea::keyPressEvent(AEvent);
        return;
    }
    const bool shift = AEvent->modifiers() & Qt::ShiftModifier;
    const bool ctrl = AEvent->modifiers() & Qt::ControlModifier;
    TPos c = FCaret;
    if (c.Line >= FLineCount) // after select all: the end of the last line
        c = TPos{FLineCount - 1, BodyLen(FLineCount - 1)};
    switch (AEvent->key()) {
    case Qt::Key_Up: --c.Line; break;
    case Qt::Key_Down: ++c.Line; break;
    case Qt::Key_PageUp: c.Line -= VisibleLineCount(); break;
    case Qt::Key_PageDown: c.Line += VisibleLineCount(); break;
    case Qt::Key_Left:
        if (c.Col > 0)
            --c.Col;
        else if (c.Line > 0)
            c = TPos{c.Line - 1, BodyLen(c.Line - 1)};
        break;
    case Qt::Key_Right:
        if (c.Col < BodyLen(c.Line))
            ++c.Col;
        else if (c.Line + 1 < FLineCount)
            c = TPos{c.Line + 1, 0};
        break;
    case Qt::Key_Home: c = ctrl ? TPos{0, 0} : TPos{c.Line, 0}; break;
    case Qt::Key_End: c = ctrl ? TPos{FLineCount - 1, BodyLen(FLineCount - 1)} : TPos{c.Line, BodyLen(c.Line)}; break;
    default:
        QAbstractScrollArea::keyPressEvent(AEvent);
        return;
    }
    MoveCaret(c, shift);
}

void TLDT3RawView::mousePressEvent(QMouseEvent *AEvent)
{
    if (AEvent->button() != Qt::LeftButton || !Valid())
        return QAbstractScrollArea::mousePressEvent(AEvent);
    MoveCaret(PosAt(AEvent->position().toPoint()), AEvent->modifiers() & Qt::ShiftModifier);
}

void TLDT3RawView::mouseMoveEvent(QMouseEvent *AEvent)
{
    if (!(AEvent->buttons() & Qt::LeftButton) || !Valid())
        return QAbstractScrollArea::mouseMoveEvent(AEvent);
    MoveCaret(PosAt(AEvent->position().toPoint()), true);
}

void TLDT3RawView::mouseDoubleClickEvent(QMouseEvent *AEvent)
{
    if (AEvent->button() != Qt::LeftButton || !Valid())
        return QAbstractScrollArea::mouseDoubleClickEvent(AEvent);
    // a double click selects the whole line
    const int line = PosAt(AEvent->position().toPoint()).Line;
    SetSelection(TPos{line, 0}, TPos{line, BodyLen(line)}, true);
}
