// A layout of design rectangles and anchored edges.
#include "app/AnchorLayout.h"

#include <algorithm>
#include <utility>

#include <QWidget>
#include <QWidgetItem>

namespace tolvane::app {

namespace {

// One axis: the start and length of a widget whose container is `delta` larger than designed.
std::pair<int, int> Follow(int start, int length, int delta, bool nearEdge, bool farEdge)
{
    if (nearEdge && farEdge) {
        return {start, std::max(0, length + delta)};
    }
    if (farEdge) {
        return {start + delta, length};
    }
    return {start, length};
}

} // namespace

TAnchorLayout::TAnchorLayout(QWidget* parent, QSize designSize, QSize minimumSize)
    : QLayout(parent), m_design(designSize), m_minimum(minimumSize)
{
    setContentsMargins(0, 0, 0, 0);
}

TAnchorLayout::~TAnchorLayout()
{
    for (const TEntry& entry : m_entries) {
        delete entry.Item;
    }
}

void TAnchorLayout::AddWidget(QWidget* widget, const QRect& design, unsigned anchors)
{
    addChildWidget(widget);
    m_entries.push_back({new QWidgetItem(widget), design, anchors});
    invalidate();
}

void TAnchorLayout::addItem(QLayoutItem* item)
{
    const QRect design = item->widget() != nullptr ? item->widget()->geometry() : item->geometry();
    m_entries.push_back({item, design, AnchorTopLeft});
}

QLayoutItem* TAnchorLayout::itemAt(int index) const
{
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return m_entries[static_cast<std::size_t>(index)].Item;
}

QLayoutItem* TAnchorLayout::takeAt(int index)
{
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    QLayoutItem* item = m_entries[static_cast<std::size_t>(index)].Item;
    m_entries.erase(m_entries.begin() + index);
    return item;
}

int TAnchorLayout::count() const
{
    return static_cast<int>(m_entries.size());
}

QSize TAnchorLayout::sizeHint() const
{
    return m_design;
}

QSize TAnchorLayout::minimumSize() const
{
    return m_minimum;
}

void TAnchorLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const int dx = rect.width() - m_design.width();
    const int dy = rect.height() - m_design.height();
    for (const TEntry& entry : m_entries) {
        const auto [left, width] =
            Follow(entry.Design.left(), entry.Design.width(), dx, (entry.Anchors & AnchorLeft) != 0,
                   (entry.Anchors & AnchorRight) != 0);
        const auto [top, height] =
            Follow(entry.Design.top(), entry.Design.height(), dy, (entry.Anchors & AnchorTop) != 0,
                   (entry.Anchors & AnchorBottom) != 0);
        const QRect placed(rect.left() + left, rect.top() + top, width, height);
        // A widget takes its rectangle exactly, as designed, whatever its own size hints say.
        if (QWidget* widget = entry.Item->widget()) {
            widget->setGeometry(placed);
        } else {
            entry.Item->setGeometry(placed);
        }
    }
}

} // namespace tolvane::app
