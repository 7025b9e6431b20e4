// The schematic's painter: draws the whole picture of the project into the off-screen bitmap
// with one-pixel pens and no antialiasing, so that every pixel sits where the layout says.
#pragma once

#include "editor/widgets/PictureDrawer.h"

#include <QImage>

class SchematicDrawer : public PictureDrawer {
public:
    SchematicDrawer();

    void Draw(QImage& picture, const DrawInput& input) override;
    QSize MeasurePortLabels(const ProjectModel& model, const ViewState& view) override;
    QSize MeasureModuleNames(const ProjectModel& model) override;

    // The picture shown while no project is open (Image1).
    const QImage& BackgroundImage() const { return image1_; }

private:
    QImage image1_;
};
