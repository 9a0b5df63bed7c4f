#include "tests/workflow/workflow_fixture.h"

#include <sys/stat.h>

#include "workflow/format_choice.h"
#include "workflow/intake.h"
#include "workflow/save_flow.h"

namespace lanzhou::test {

platform::RgbaImage previewShown() {
    platform::RgbaImage image;
    image.width = kPreviewWidth;
    image.height = kPreviewHeight;
    image.pixels.resize(static_cast<std::size_t>(kPreviewWidth) * kPreviewHeight * 4);
    for (int y = 0; y < kPreviewHeight; ++y) {
        for (int x = 0; x < kPreviewWidth; ++x) {
            std::uint8_t* p =
                image.pixels.data() + (static_cast<std::size_t>(y) * kPreviewWidth + x) * 4;
            const bool border =
                x == 0 || y == 0 || x == kPreviewWidth - 1 || y == kPreviewHeight - 1;
            const bool left = x < kPreviewWidth / 2;
            p[0] = border ? 0 : left ? 255 : 0;
            p[1] = 0;
            p[2] = border ? 0 : left ? 0 : 255;
            p[3] = 255;
        }
    }
    return image;
}

WorkflowTest::WorkflowTest() {
    mkdir(in_.c_str(), 0755);
    mkdir(out_.c_str(), 0755);
    platform::EventBindings on;
    on.fileDropped = [this](const std::string& paths) {
        workflow::onFileDropped(platform_, paths);
    };
    on.icoClicked = [this] { workflow::onIcoClicked(platform_); };
    on.pngClicked = [this] { workflow::onPngClicked(platform_); };
    on.jpgClicked = [this] { workflow::onJpgClicked(platform_); };
    on.saveClicked = [this] { workflow::onSaveClicked(platform_); };
    platform_.bind(on);
    platform_.loadMainWindow();
    platform_.enableFileDrop(Control::编辑框1);
    platform_.setWindowPixels(platform_.windowHandle(Control::图片框1), previewShown());
}

std::string WorkflowTest::inputFile(const std::string& name, const PictureBytes& bytes) {
    const std::string path = in_ + "/" + name;
    EXPECT_TRUE(platform_.writeFile(path, bytes));
    return path;
}

std::string WorkflowTest::dropFile(const std::string& name, const PictureBytes& bytes) {
    const std::string path = inputFile(name, bytes);
    platform_.dropFiles(path);
    return path;
}

std::string WorkflowTest::dropPhoto() {
    return dropFile("photo.jpg", platform_.readFile(fixture("jpeg/testorig.jpg")));
}

std::vector<std::string> WorkflowTest::outputs() const {
    return listFolder(out_);
}

int WorkflowTest::temporaryFiles() const {
    return countEntries(temp_.path(), "RZQCLASS");
}

std::vector<std::string> WorkflowTest::messages() const {
    std::vector<std::string> shown;
    for (const auto& box : platform_.boxes())
        shown.push_back(box.request.title + ": " + box.request.text);
    return shown;
}

}  // namespace lanzhou::test
