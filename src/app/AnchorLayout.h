// A layout that keeps every widget where the window's design puts it and lets the edges it is
// anchored to follow the container: a widget anchored left and right grows with the width, one
// anchored right only moves with the right edge, and likewise for top and bottom.
#pragma once

#include <vector>

#include <QLayout>
#include <QRect>
#include <QSize>

namespace tolvane::app {

enum TAnchor : unsigned {
    AnchorLeft = 1U,
    AnchorTop = 2U,
    AnchorRight = 4U,
    AnchorBottom = 8U,
    AnchorTopLeft = AnchorLeft | AnchorTop,
    AnchorAll = AnchorLeft | AnchorTop | AnchorRight | AnchorBottom,
};

class TAnchorLayout : public QLayout
{
public:
    /// At `designSize` every widget sits at its design rectangle; the container never gets
    /// smaller than `minimumSize`.
    TAnchorLayout(QWidget* parent, QSize designSize, QSize minimumSize);
    ~TAnchorLayout() override;
    TAnchorLayout(const TAnchorLayout&) = delete;
    TAnchorLayout& operator=(const TAnchorLayout&) = delete;

    /// Places `widget` at `design` (in the container's coordinates at the design size).
    void AddWidget(QWidget* widget, const QRect& design, unsigned anchors);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct TEntry
    {
        QLayoutItem* Item;
        QRect Design;
        unsigned Anchors;
    };

    std::vector<TEntry> m_entries;
    QSize m_design;
    QSize m_minimum;
};

} // namespace tolvane::app
