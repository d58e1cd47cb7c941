#pragma once

// Where a part of a scroll bar (arrow, page area, thumb, groove) lies, for synthetic mouse input.
#include <QRect>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

inline QRect ScrollBarPart(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}
