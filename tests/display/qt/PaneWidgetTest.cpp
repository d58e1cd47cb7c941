// The panes as widgets: what a paint puts on the screen at exact background pixels (the erased
// window colour wherever no character was drawn), and a double-click.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <string>
#include <vector>

#include "framework/dialog/ShellOpen.h"
#include "tests/display/PaneFixture.h"

using namespace panes;

namespace {

// The system window colour the panes erase with; not white, so that what the rows paint and
// what is merely erased can be told apart.
constexpr QRgb kErased = qRgb(250, 240, 230);

QImage Render(CView* pane) {
    QWidget* widget = pane->GetSafeHwnd();
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, QColor(kErased));
    widget->setPalette(palette);
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget->render(&image);
    return image;
}

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xFF000000;
}

// Rows alternate changed (silver behind the text) and equal (white); each text starts with two
// blank cells, so that its background shows at x = 41.
TEST(PanePixels, RowsPaintTheirBackgroundsAndTheRestIsErased) {
    Panes panes(100);
    auto result = std::make_unique<CCompareResult>();
    for (int i = 0; i < 50; ++i) {
        result->AddRow(i + 1, "  text", i + 1, "  text", i % 2 == 0 ? kindChanged : kindEqual);
    }
    panes.Load(std::move(result));
    const QRgb silver = qRgb(192, 192, 192);
    const QRgb white = qRgb(255, 255, 255);
    for (CView* pane : {static_cast<CView*>(panes.source), static_cast<CView*>(panes.target)}) {
        const QImage image = Render(pane);
        for (int r = 0; r < 6; ++r) {
            SCOPED_TRACE(r);
            EXPECT_EQ(At(image, 41, 16 * r + 8), r % 2 == 0 ? silver : white);
            EXPECT_EQ(At(image, 0, 16 * r + 8), white);  // the blank over the gutter
        }
        EXPECT_EQ(At(image, 41, 97), silver);  // row 6 shows its top four pixels
        EXPECT_EQ(At(image, image.width() - 1, 8), kErased);
    }
    panes.doc.m_scroll.SetTopRow(45);
    const QImage last = Render(panes.source);
    EXPECT_EQ(At(last, 41, 3 * 16 + 8), silver);  // row 48
    for (int x = 0; x < last.width(); x += 10) {
        EXPECT_EQ(At(last, x, 90), kErased) << x;  // below the last row nothing is drawn
    }
}

TEST(PaneInput, DoubleClickInTheSourcePaneOpensTheSourceFileOnce) {
    std::vector<std::string> opened;
    ShellOpenHook previous = SetShellOpenHook([&](const std::string& path) {
        opened.push_back(path);
        return false;  // as if no program were associated: the pane must not care
    });
    Panes panes(100);
    panes.LoadRows(3);
    panes.doc.m_sourcePath = "/tmp/a file.txt";
    QTest::mouseDClick(panes.source->GetSafeHwnd(), Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(opened, std::vector<std::string>{"/tmp/a file.txt"});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait cursor is gone again

    QTest::mouseDClick(panes.target->GetSafeHwnd(), Qt::LeftButton, {}, QPoint(50, 20));
    panes.doc.m_sourcePath.clear();
    QTest::mouseDClick(panes.source->GetSafeHwnd(), Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(opened.size(), 1u);
    SetShellOpenHook(std::move(previous));
}

// The location map as the widget shows and takes it: off, the pane's edge is as before; on, the
// lone changed row of 1,000 is red at its pixel, and the mouse's press, drag and release there
// reach the map through the framework.
TEST(PaneInput, TheLocationMapShowsAndTakesThePointer) {
    Panes panes(160);
    auto result = std::make_unique<CCompareResult>();
    for (int i = 0; i < 1000; ++i) {
        result->AddRow(i + 1, "a", i + 1, i == 500 ? "b" : "a", i == 500 ? kindChanged : kindEqual);
    }
    panes.Load(std::move(result));
    QWidget* target = panes.target->GetSafeHwnd();
    const QPoint middle(target->width() - 7, 80);
    panes.doc.m_nLocationMap = 0;
    EXPECT_EQ(At(Render(panes.target), middle.x(), middle.y()), kErased);
    panes.doc.m_nLocationMap = 1;
    EXPECT_EQ(At(Render(panes.target), middle.x(), middle.y()), qRgb(255, 0, 0));

    QTest::mousePress(target, Qt::LeftButton, {}, middle);
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 500 - 5);
    QTest::mouseMove(target, QPoint(middle.x(), 40));
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 250 - 5);
    QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(middle.x(), 40));
    QTest::mouseMove(target, middle);
    EXPECT_EQ(panes.doc.m_scroll.GetTopRow(), 250 - 5);
}

}  // namespace
