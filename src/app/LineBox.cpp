#include "app/LineBox.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <utility>

namespace ds {

LineBox::LineBox(QWidget* parent)
    : QAbstractScrollArea(parent) {
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
}

LineBox::~LineBox() = default;

void LineBox::appendLine(const QString& line, int tag) {
    m_lines.append(line, tag);
    changed();
}

void LineBox::replaceLine(qsizetype number, const QString& line, int tag) {
    m_lines.replace(number, line, tag);
    dropSelection();
    changed();
}

void LineBox::removeLine(qsizetype number) {
    m_lines.remove(number);
    dropSelection();
    changed();
}

void LineBox::clear() {
    m_lines.clear();
    dropSelection();
    changed();
}

void LineBox::setPlainText(const QString& text) {
    m_lines.setText(text);
    dropSelection();
    verticalScrollBar()->setValue(0);
    changed();
}

void LineBox::dropSelection() {
    m_anchor = m_caret = {};
}

void LineBox::changed() {
    m_shownCurrent = false;
    viewport()->update();
    // Many lines arrive between two paints: the range is worked out once.
    if (!std::exchange(m_rangePending, true))
        QMetaObject::invokeMethod(this, &LineBox::updateScrollRange, Qt::QueuedConnection);
}

QString LineBox::selectedText() const {
    const Place from = std::min(m_anchor, m_caret);
    const Place to = std::max(m_anchor, m_caret);
    QString text;
    for (qsizetype n = from.line; n <= to.line && n < lineCount(); ++n) {
        const QString whole = line(n);
        const qsizetype start = n == from.line ? from.column : 0;
        if (n < to.line)
            text += whole.mid(start) + u'\n';
        else
            text += whole.mid(start, to.column - start);
    }
    return text;
}

void LineBox::selectAll() {
    m_anchor = {};
    m_caret = {lineCount(), 0};
    viewport()->update();
}

void LineBox::selectLines(qsizetype first, qsizetype last) {
    m_anchor = {first, 0};
    m_caret = {last, line(last).size()};
    viewport()->update();
}

void LineBox::copy() const {
    const QString text = selectedText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

QMenu* LineBox::createStandardContextMenu() {
    auto* menu = new QMenu(this);
    QAction* copying = menu->addAction(tr("复制"), this, &LineBox::copy);
    copying->setShortcut(QKeySequence::Copy);
    copying->setEnabled(m_anchor != m_caret);
    menu->addSeparator();
    QAction* all = menu->addAction(tr("全选"), this, &LineBox::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(lineCount() > 0);
    return menu;
}

void LineBox::layOut(QTextLayout& layout) const {
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    const qreal width = std::max<qreal>(1, viewport()->width() - 2 * Margin);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLeadingIncluded(true);
        row.setLineWidth(width);
        row.setPosition(QPointF(0, height));
        height += row.height();
    }
    layout.endLayout();
}

qreal LineBox::lineHeight(qsizetype number) const {
    QTextLayout layout(number < lineCount() ? line(number) : QString());
    layOut(layout);
    return layout.boundingRect().height();
}

const std::vector<LineBox::Shown>& LineBox::shownLines() const {
    if (m_shownCurrent)
        return m_shown;
    m_shown.clear();
    qsizetype number = verticalScrollBar()->value();
    qreal top = number == 0 ? Margin : 0;
    for (; number < lineCount() && top < viewport()->height(); ++number) {
        auto layout = std::make_unique<QTextLayout>(line(number));
        layOut(*layout);
        const qreal height = layout->boundingRect().height();
        m_shown.push_back({number, top, std::move(layout)});
        top += height;
    }
    m_shownCurrent = true;
    return m_shown;
}

// As a text box does, the empty line after the last line break is counted, and
// the margins above and below, so the last line never sits on the bottom edge.
void LineBox::updateScrollRange() {
    m_rangePending = false;
    const qreal room = viewport()->height() - 2 * Margin - 1;
    qsizetype first = lineCount() + 1;
    qreal used = 0;
    while (first > 0) {
        const qreal height = lineHeight(first - 1);
        if (used + height > room)
            break;
        used += height;
        --first;
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, int(std::min<qsizetype>(first, INT_MAX)));
    bar->setPageStep(int(std::max<qsizetype>(1, lineCount() + 1 - first)));
}

void LineBox::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setPen(palette().text().color());
    const Place from = std::min(m_anchor, m_caret);
    const Place to = std::max(m_anchor, m_caret);
    for (const Shown& shown : shownLines()) {
        QList<QTextLayout::FormatRange> selection;
        if (from != to && shown.line >= from.line && shown.line <= to.line) {
            QTextLayout::FormatRange range;
            range.start = int(shown.line == from.line ? from.column : 0);
            const qsizetype end =
                shown.line == to.line ? to.column : shown.layout->text().size() + 1;
            range.length = int(end - range.start);
            range.format.setBackground(palette().brush(QPalette::Highlight));
            range.format.setForeground(palette().brush(QPalette::HighlightedText));
            selection.append(range);
        }
        shown.layout->draw(&painter, QPointF(Margin, shown.top), selection);
    }
}

void LineBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_shownCurrent = false;
    updateScrollRange();
}

void LineBox::scrollContentsBy(int, int) {
    m_shownCurrent = false;
    viewport()->update();
}

void LineBox::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_shownCurrent = false;
        updateScrollRange();
    }
}

qsizetype LineBox::lineAt(const QPoint& position) const {
    for (const Shown& shown : shownLines()) {
        if (position.y() >= shown.top &&
            position.y() < shown.top + shown.layout->boundingRect().height())
            return shown.line;
    }
    return -1;
}

LineBox::Place LineBox::placeAt(const QPoint& position) const {
    const std::vector<Shown>& shown = shownLines();
    if (shown.empty())
        return {lineCount(), 0};
    if (position.y() < shown.front().top)
        return {shown.front().line, 0};
    for (const Shown& one : shown) {
        const QTextLayout& layout = *one.layout;
        for (int n = 0; n < layout.lineCount(); ++n) {
            const QTextLine row = layout.lineAt(n);
            if (position.y() < one.top + row.y() + row.height())
                return {one.line, row.xToCursor(position.x() - Margin)};
        }
    }
    const Shown& last = shown.back();
    return last.line + 1 == lineCount() ? Place{lineCount(), 0}
                                        : Place{last.line, last.layout->text().size()};
}

void LineBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_caret = placeAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        m_anchor = m_caret;
    viewport()->update();
}

// Dragging past an edge scrolls a line at a time.
void LineBox::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint position = event->position().toPoint();
    QScrollBar* bar = verticalScrollBar();
    if (position.y() < 0)
        bar->setValue(bar->value() - 1);
    else if (position.y() > viewport()->height())
        bar->setValue(bar->value() + 1);
    m_caret = placeAt(position);
    viewport()->update();
}

void LineBox::mouseDoubleClickEvent(QMouseEvent* event) {
    const qsizetype number = lineAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && number >= 0)
        selectLines(number, number);
}

void LineBox::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    using Slider = QAbstractSlider;
    static constexpr std::pair<int, Slider::SliderAction> Scrolls[] = {
        {Qt::Key_Up, Slider::SliderSingleStepSub},   {Qt::Key_Down, Slider::SliderSingleStepAdd},
        {Qt::Key_PageUp, Slider::SliderPageStepSub}, {Qt::Key_PageDown, Slider::SliderPageStepAdd},
        {Qt::Key_Home, Slider::SliderToMinimum},     {Qt::Key_End, Slider::SliderToMaximum}};
    for (const auto& [key, action] : Scrolls) {
        if (event->key() == key) {
            verticalScrollBar()->triggerAction(action);
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace ds
