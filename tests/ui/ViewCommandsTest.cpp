// The main window's view commands on the example project: the zoom buttons with their status
// texts, Full View holding back user input until it is done, and the Top-name box.
#include "MainWindowFixture.h"

#include "editor/app/TFormTname.h"
#include "support/FileFixtures.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QToolBar>

namespace {

const std::string& kDemo = DemoProject();

class ViewCommands : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->Model.AppDir = dir.Dir();
        form->show();
        QApplication::processEvents();
        form->OpenProjectFile(kDemo);
        ASSERT_TRUE(form->Model.PrjOpen);
    }

    // A click of the left button, queued as window messages are.
    static void QueueClick(QWidget* w) {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        const QPointF global = w->mapToGlobal(at);
        QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                       Qt::LeftButton, Qt::LeftButton,
                                                       Qt::NoModifier));
        QCoreApplication::postEvent(w,
                                    new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    }

    TempDir dir;
};

TEST_F(ViewCommands, ZoomButtonsStepAndSayWhatTheyDid) {
    form->Model.PrtHeight = 38;
    form->Action("ToolButton13")->trigger();
    EXPECT_EQ(form->Model.PrtHeight, 39);
    EXPECT_EQ(form->StatusText(0), "Zoom in ok");
    form->Action("ToolButton13")->trigger();
    EXPECT_EQ(form->Model.PrtHeight, 39);
    EXPECT_EQ(form->StatusText(0), "Too large to zoom in");
    form->Action("ToolButton14")->trigger();
    EXPECT_EQ(form->StatusText(0), "Zoom out ok");
    EXPECT_EQ(form->Model.PrtHeight, 38);
    // The other steps empty the status text.
    const int width = form->Model.PrtWidth;
    form->Action("ToolButton15")->trigger();
    EXPECT_EQ(form->Model.PrtWidth, width + 3);
    EXPECT_EQ(form->StatusText(0), "");
    form->Action("ToolButton16")->trigger();
    EXPECT_EQ(form->Model.PrtWidth, width);
    form->Action("ToolButton17")->trigger();
    EXPECT_EQ(form->Model.PrtHeight, 40);
    form->Action("ToolButton4")->trigger();
    EXPECT_EQ(form->Model.PrtHeight, 38);
}

TEST_F(ViewCommands, FullViewFitsThePictureAndAClickQueuedMeanwhileRunsAfterIt) {
    QPushButton other("other");
    other.show();
    std::string statusAtClick;
    int clicks = 0;
    QObject::connect(&other, &QPushButton::clicked, [&] {
        ++clicks;
        statusAtClick = form->StatusText(0);
    });
    form->Model.PrtHeight = 4;
    form->UpdatePicExecute();
    QueueClick(&other);
    form->Action("ToolButton12")->trigger();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(form->StatusText(0), "Zoom adjustment ok");
    EXPECT_GT(form->Model.PrtHeight, 4);
    EXPECT_LE(form->PicBitmap.width(), form->ScrollBox1->width());
    EXPECT_LE(form->PicBitmap.height(), form->ScrollBox1->height());
    QApplication::processEvents();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(statusAtClick, "Zoom adjustment ok");
}

TEST_F(ViewCommands, ActualPortsSizeGivesPortsTheSizeOfTheirLabels) {
    form->Model.PrtWidth = 3;
    form->Model.PrtHeight = 3;
    form->Action("ToolButton11")->trigger();
    EXPECT_EQ(form->StatusText(0), "Zoom adjustment ok");
    const QSize labels = drawer.MeasurePortLabels(form->Model, form->View);
    EXPECT_EQ(form->Model.PrtHeight, std::min(labels.height(), 40));
    EXPECT_GE(form->Model.PrtWidth, std::min(labels.width(), 150));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ViewCommands, TheTopNameBoxStandsRightOfTheToolBarAndHoldsTheTopPortRule) {
    TFormTname* box = form->TopNameWindow;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle().toStdString(), "Top name");
    EXPECT_EQ(box->LabeledEdit1Label->text().toStdString(), "Top name:");
    EXPECT_EQ(box->LabeledEdit1->text().toStdString(), "%P");
    form->PlaceTopNameBox();
    QApplication::processEvents();
    EXPECT_EQ(form->toolBarArea(box), Qt::TopToolBarArea);
    EXPECT_GE(box->geometry().left(), form->ToolBar1->geometry().right());
    EXPECT_EQ(box->geometry().top(), form->ToolBar1->geometry().top());
    EXPECT_EQ(box->height(), form->ToolBar1->height());

    box->LabeledEdit1->setText("top_%M_%P");
    EXPECT_EQ(form->Model.TopNameRule, "top_%M_%P");
}

TEST_F(ViewCommands, TheMenuItemShowsAndHidesTheBoxAndClosingTheBoxUnticksIt) {
    TFormTname* box = form->TopNameWindow;
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(form->Action("MV_TName")->isChecked());
    form->Action("MV_TName")->trigger();
    EXPECT_FALSE(box->isVisible());
    form->Action("MV_TName")->trigger();
    EXPECT_TRUE(box->isVisible());
    box->close();
    EXPECT_FALSE(form->Action("MV_TName")->isChecked());
    EXPECT_FALSE(form->View.TopNameBox);
}

} // namespace
