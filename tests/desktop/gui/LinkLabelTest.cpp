#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "desktop/gui/LinkLabel.h"

namespace varnoket {
namespace {

const QColor kRed(0xFF, 0x00, 0x00);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kBlue(0x00, 0x00, 0xFF);

// A shown, active window holding one link, with the opener recorded.
class LinkWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    savedOpener_ = LinkLabel::Opener();
    LinkLabel::Opener() = [this](const std::string& address) {
      opened.push_back(address);
      log.push_back("open");
    };
    window.resize(300, 100);
    label = new LinkLabel(&window);
    label->setText("VISITEZ www.example.org");
    label->setGeometry(10, 10, 200, 30);
    other = new QWidget(&window);
    other->setGeometry(10, 60, 200, 30);
    QObject::connect(label, &LinkLabel::clicked, [this] { log.push_back("clicked"); });
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  void TearDown() override { LinkLabel::Opener() = savedOpener_; }

  QPoint Centre() const { return label->rect().center(); }

  QWidget window;
  LinkLabel* label = nullptr;
  QWidget* other = nullptr;
  std::vector<std::string> opened;
  std::vector<std::string> log;

 private:
  std::function<void(const std::string&)> savedOpener_;
};

TEST(LinkLabelDefaults, ColoursTimerAndCursor) {
  LinkLabel label;
  EXPECT_EQ(label.ColorURL(), kRed);
  EXPECT_EQ(label.ColorClick(), kNavy);
  EXPECT_EQ(label.DefaultColor(), kBlue);
  EXPECT_EQ(label.FontColor(), kBlue);
  EXPECT_EQ(label.Timer(), 100);
  EXPECT_EQ(label.URLType(), UrlType::kHttp);
  EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
  label.SetTimer(-5);
  EXPECT_EQ(label.Timer(), 0);
  label.SetDefaultColor(Qt::green);
  EXPECT_EQ(label.FontColor(), QColor(Qt::green));
  label.SetColorURL(Qt::black);
  EXPECT_EQ(label.FontColor(), QColor(Qt::green));
}

TEST_F(LinkWindow, PressAndReleaseRecolourAndOpenTheAddress) {
  label->SetFontColor(kRed);  // as the main window's form data leaves it
  label->SetURL("www.example.org");
  QTest::mousePress(label, Qt::LeftButton, {}, Centre());
  EXPECT_EQ(label->FontColor(), kNavy);
  EXPECT_TRUE(LinkLabel::Pressed());
  EXPECT_EQ(LinkLabel::HoverTimerOwner(), label);
  EXPECT_TRUE(log.empty());
  QTest::mouseRelease(label, Qt::LeftButton, {}, Centre());
  EXPECT_EQ(label->FontColor(), kBlue);
  EXPECT_FALSE(LinkLabel::Pressed());
  EXPECT_EQ(log, (std::vector<std::string>{"clicked", "open"}));
  EXPECT_EQ(opened, (std::vector<std::string>{"http://www.example.org"}));
}

TEST_F(LinkWindow, MailLinkAndNoneLink) {
  label->SetURLType(UrlType::kMailTo);
  label->SetURL("contact@example.org");
  QTest::mouseClick(label, Qt::LeftButton, {}, Centre());
  label->SetURLType(UrlType::kNone);
  QTest::mouseClick(label, Qt::LeftButton, {}, Centre());
  EXPECT_EQ(opened, (std::vector<std::string>{"mailto:contact@example.org"}));
  EXPECT_EQ(log, (std::vector<std::string>{"clicked", "open", "clicked"}));
}

TEST_F(LinkWindow, OtherButtonsAndDisabledLinkAreIgnored) {
  QTest::mouseClick(label, Qt::RightButton, {}, Centre());
  EXPECT_EQ(label->FontColor(), kBlue);
  label->setEnabled(false);
  QTest::mouseClick(label, Qt::LeftButton, {}, Centre());
  EXPECT_EQ(label->FontColor(), kBlue);
  EXPECT_TRUE(log.empty());
}

TEST_F(LinkWindow, HoverTickRestoresTheColourOnceTheCursorLeft) {
  QTest::mousePress(label, Qt::LeftButton, {}, Centre());
  ASSERT_EQ(label->FontColor(), kNavy);
  QCursor::setPos(label->mapToGlobal(Centre()));
  label->HoverTimerTick();
  EXPECT_EQ(label->FontColor(), kNavy);  // still under the cursor
  QCursor::setPos(other->mapToGlobal(other->rect().center()));
  label->HoverTimerTick();
  EXPECT_EQ(label->FontColor(), kBlue);
  QTest::mouseRelease(label, Qt::LeftButton, {}, Centre());
}

TEST_F(LinkWindow, EnterNeedsAnActiveWindow) {
  QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), label->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(label, &enter);
  EXPECT_EQ(label->FontColor(), kRed);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(label, &leave);
  EXPECT_EQ(label->FontColor(), kBlue);

  QApplication::setActiveWindow(nullptr);
  ASSERT_EQ(QApplication::activeWindow(), nullptr);
  QApplication::sendEvent(label, &enter);
  EXPECT_EQ(label->FontColor(), kBlue);
  QTest::mousePress(label, Qt::LeftButton, {}, Centre());
  EXPECT_EQ(label->FontColor(), kBlue);
  QTest::mouseRelease(label, Qt::LeftButton, {}, Centre());
}

TEST_F(LinkWindow, MoveArmsTheSharedTimerForThisLink) {
  LinkLabel second(&window);
  second.setGeometry(10, 60, 50, 20);
  second.show();
  QTest::mouseMove(&second, QPoint(5, 5));
  QTest::mouseMove(label, Centre());
  EXPECT_EQ(LinkLabel::HoverTimerOwner(), label);
  EXPECT_EQ(label->FontColor(), kRed);
  EXPECT_TRUE(LinkLabel::HoverTimer()->isActive());
  EXPECT_EQ(LinkLabel::HoverTimer()->interval(), 100);
}

}  // namespace
}  // namespace varnoket
