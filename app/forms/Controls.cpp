#include "Controls.h"

#include "Form.h"

#include <QFontMetrics>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextDocument>
#include <QValidator>

#include <climits>

namespace forms {

namespace {

// The line edit cuts an insertion at its maximum length by UTF-16 units, which can split a
// character in two. No field may keep half of a surrogate pair.
bool hasLoneSurrogate(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

// For a one-unit field: a character that does not fit is refused whole, and the letter the
// field held stays.
class RefuseSplitCharacter : public QValidator {
public:
    State validate(QString& input, int&) const override
    {
        return hasLoneSurrogate(input) ? Invalid : Acceptable;
    }
};

// For a longer field: a long paste keeps every whole character that fits, and only the half
// at the cut goes.
class DropHalfAtCut : public QValidator {
public:
    State validate(QString& input, int& position) const override
    {
        if (!input.isEmpty() && input.back().isHighSurrogate()) {
            input.chop(1);
            position = std::min(position, static_cast<int>(input.size()));
        }
        return hasLoneSurrogate(input) ? Invalid : Acceptable;
    }
};

QValidator* validatorForLength(int maxUnits)
{
    // Shared by every field: they hold no state.
    static auto* refuse = new RefuseSplitCharacter;
    static auto* drop = new DropHalfAtCut;
    return maxUnits <= 1 ? static_cast<QValidator*>(refuse) : drop;
}

// The control whose mouse-move procedure is running, for SetMouseCursor.
QPointer<QWidget> g_mouseTarget;

// A text field's menu names the standard keys of its entries (Ctrl+Z to undo, Ctrl+A to select
// all...). Where the window has taken such a key for a menu entry of its own, the key does not
// do what the field's menu says, so the menu does not say it.
QMenu* withoutTakenKeys(QMenu* menu, const QWidget* field)
{
    const auto* form = qobject_cast<const Form*>(field->window());
    for (QAction* action : menu->actions()) {
        const QString text = action->text();
        const qsizetype tab = text.indexOf(u'\t');
        if (!form || tab < 0)
            continue;
        const QKeySequence key = QKeySequence::fromString(text.mid(tab + 1), QKeySequence::NativeText);
        if (!key.isEmpty() && form->ownsShortcut(key[0]))
            action->setText(text.left(tab));
    }
    return menu;
}

void showContextMenu(QMenu* menu, QContextMenuEvent* event)
{
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

QFont arial(double points, bool bold, bool italic, bool underline)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

// ---- TextBox ----------------------------------------------------------------------------

TextBox::TextBox(QWidget* parent, const QRect& rect, const QFont& font) : QLineEdit(parent)
{
    setGeometry(rect);
    setFont(font);
    setAlignment(Qt::AlignLeft);
    // A field takes text by typing and pasting only: a drop on a one-letter cell kept a piece
    // of what the user dragged.
    setAcceptDrops(false);
    setValidator(validatorForLength(maxLength()));
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
}

void TextBox::setMaxLength(int units)
{
    QLineEdit::setMaxLength(units);
    setValidator(validatorForLength(units));
}

void TextBox::setAlignment(Qt::Alignment alignment)
{
    QLineEdit::setAlignment(alignment | Qt::AlignAbsolute | Qt::AlignVCenter);
}

int TextBox::SelStart() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TextBox::setSelStart(int start)
{
    if (start < 0)
        throw RuntimeError(ErrorCode::InvalidCall);
    setCursorPosition(start);
}

int TextBox::SelLength() const { return static_cast<int>(selectedText().size()); }

void TextBox::setSelLength(int length)
{
    if (length < 0)
        throw RuntimeError(ErrorCode::InvalidCall);
    const int start = SelStart();
    setSelection(start, std::min(length, static_cast<int>(text().size()) - start));
}

void TextBox::SetFocus() { setFocus(Qt::OtherFocusReason); }

QMenu* TextBox::contextMenu() { return withoutTakenKeys(createStandardContextMenu(), this); }

void TextBox::contextMenuEvent(QContextMenuEvent* event) { showContextMenu(contextMenu(), event); }

void TextBox::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

// ---- MultiLineTextBox -------------------------------------------------------------------

MultiLineTextBox::MultiLineTextBox(QWidget* parent, const QRect& rect, const QFont& font)
    : QPlainTextEdit(parent)
{
    setGeometry(rect);
    setFont(font);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Tab moves on to the next control, as in every other field of the window.
    setTabChangesFocus(true);
    // No text is dragged out of the list, where a move lost it, and none dropped in.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
}

QString MultiLineTextBox::Text() const
{
    // The plain-text export would turn a no-break space into a space and a line separator into
    // a line break; the raw text keeps both, and only the paragraph breaks are the field's own.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

void MultiLineTextBox::setText(const QString& text)
{
    if (text == Text())
        return;
    QString plain = withLineFeeds(text);
    plain.replace(u'\r', u'\n');
    setPlainText(plain);
}

QMenu* MultiLineTextBox::contextMenu() { return withoutTakenKeys(createStandardContextMenu(), this); }

void MultiLineTextBox::contextMenuEvent(QContextMenuEvent* event) { showContextMenu(contextMenu(), event); }

void MultiLineTextBox::keyPressEvent(QKeyEvent* event)
{
    // Shift+Enter would put in a line separator, which looks like a line break but is none:
    // every Enter starts a new line.
    if (event->matches(QKeySequence::InsertLineSeparator)) {
        QKeyEvent enter(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                        event->isAutoRepeat(), static_cast<quint16>(event->count()));
        QPlainTextEdit::keyPressEvent(&enter);
        event->setAccepted(enter.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MultiLineTextBox::mousePressEvent(QMouseEvent* event)
{
    // A press inside the selection would start dragging it away; here it places the cursor,
    // as a press anywhere else does.
    if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier)) {
        const QTextCursor selection = textCursor();
        const int at = cursorForPosition(event->position().toPoint()).position();
        if (selection.hasSelection() && at >= selection.selectionStart() && at <= selection.selectionEnd())
            setTextCursor(cursorForPosition(event->position().toPoint()));
    }
    QPlainTextEdit::mousePressEvent(event);
}

void MultiLineTextBox::SetFocus() { setFocus(Qt::OtherFocusReason); }

// ---- Label ------------------------------------------------------------------------------

Label::Label(QWidget* parent, const QRect& rect, const QFont& font, const QString& caption)
    : QWidget(parent), caption_(caption)
{
    setGeometry(rect);
    setFont(font);
}

void Label::setCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    if (autoSize_)
        fitToText();
    update();
}

void Label::setAccessKeyMarking(bool on)
{
    marking_ = on;
    if (autoSize_)
        fitToText();
    update();
}

void Label::setAlignment(Qt::Alignment horizontal)
{
    alignment_ = horizontal;
    update();
}

void Label::setAutoSize(bool on)
{
    autoSize_ = on;
    if (on)
        fitToText();
}

void Label::setForeColor(const QColor& color)
{
    foreColor_ = color;
    update();
}

void Label::setBackColor(const QColor& color)
{
    backColor_ = color;
    update();
}

int Label::textFlags() const
{
    return static_cast<int>(alignment_) | Qt::AlignTop | Qt::TextWordWrap
        | (marking_ ? Qt::TextShowMnemonic : 0);
}

QString Label::displayText() const
{
    // Only a CR LF pair starts a new line; a lone CR is no line break.
    QString text = withLineFeeds(caption_);
    text.replace(u'\r', u' ');
    return text;
}

void Label::fitToText()
{
    const int flags = (textFlags() & ~Qt::TextWordWrap);
    const QRect bounds = QFontMetrics(font()).boundingRect(QRect(0, 0, INT_MAX / 4, INT_MAX / 4),
                                                           flags, displayText());
    resize(std::max(bounds.width(), 1), std::max(bounds.height(), QFontMetrics(font()).height()));
}

void Label::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (backColor_.isValid())
        painter.fillRect(rect(), backColor_);
    if (caption_.isEmpty())
        return;
    painter.setPen(foreColor_.isValid() ? foreColor_ : palette().color(QPalette::WindowText));
    painter.drawText(rect(), autoSize_ ? textFlags() & ~Qt::TextWordWrap : textFlags(), displayText());
}

void Label::mousePressEvent(QMouseEvent* event) { event->accept(); }

void Label::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

void Label::mouseMoveEvent(QMouseEvent* event)
{
    if (MouseMove) {
        g_mouseTarget = this;
        MouseMove();
        g_mouseTarget = nullptr;
    }
    event->accept();
}

void SetMouseCursor(int systemCursorId)
{
    if (!g_mouseTarget)
        return;
    // The one system cursor the windows ask for; any other id leaves the pointer alone.
    if (systemCursorId == kSystemHandCursor)
        g_mouseTarget->setCursor(Qt::PointingHandCursor);
}

// ---- CommandButton ----------------------------------------------------------------------

CommandButton::CommandButton(QWidget* parent, const QRect& rect, const QFont& font, const QString& caption)
    : QPushButton(caption, parent)
{
    setGeometry(rect);
    setFont(font);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { Click(); });
}

void CommandButton::setValue(bool pressed)
{
    if (pressed)
        click();
}

void CommandButton::keyPressEvent(QKeyEvent* event)
{
    if (KeyDown) {
        int keyCode = keyCodeOf(*event);
        int shift = shiftMaskOf(event->modifiers());
        KeyDown(keyCode, shift);
        if (keyCode == 0)
            return;
    }
    QPushButton::keyPressEvent(event);
}

// ---- Frame, Shape, PictureBox -----------------------------------------------------------

Frame::Frame(QWidget* parent, const QRect& rect) : QFrame(parent)
{
    setGeometry(rect);
    setFrameStyle(QFrame::Box | QFrame::Sunken);
}

Shape::Shape(QWidget* parent, const QRect& rect, int borderPixels, const QColor& border, const QColor& fill)
    : QWidget(parent), borderPixels_(borderPixels), border_(border), fill_(fill)
{
    setGeometry(rect);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (fill_.isValid())
        painter.fillRect(rect(), fill_);
    const int b = borderPixels_;
    // The border is drawn inside the shape's box, as wide as asked on every side.
    painter.fillRect(0, 0, width(), b, border_);
    painter.fillRect(0, height() - b, width(), b, border_);
    painter.fillRect(0, 0, b, height(), border_);
    painter.fillRect(width() - b, 0, b, height(), border_);
}

PictureBox::PictureBox(QWidget* parent, const QPoint& topLeft, const QPixmap& picture)
    : QFrame(parent), picture_(picture)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    const int border = frameWidth();
    setGeometry(QRect(topLeft, picture_.deviceIndependentSize().toSize() + QSize(2 * border, 2 * border)));
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(contentsRect().topLeft(), picture_);
}

} // namespace forms
