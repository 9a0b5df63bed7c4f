#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/scripted_platform.h"
#include "tests/support/test_files.h"
#include "tests/workflow/output_checks.h"
#include "workflow/bitmap.h"

namespace lanzhou::test {

// The workflow's handlers bound to a scripted platform, as the shell binds
// them, the window loaded and taking drops. The private temporary folder
// holds the folders in/ for the files the person drops and out/ for the
// outputs; 图片框1 shows a picture the test knows (kPreview*) to its grabs.
class WorkflowTest : public ::testing::Test {
  protected:
    using Control = platform::Control;

    WorkflowTest();

    // A file of these bytes in in/; its path.
    std::string inputFile(const std::string& name, const PictureBytes& bytes);
    // Writes the file into in/ and drops it on 编辑框1; its path.
    std::string dropFile(const std::string& name, const PictureBytes& bytes);
    // libjpeg-turbo's test photo (227 x 149) dropped as in/photo.jpg.
    std::string dropPhoto();
    // A path in out/.
    std::string output(const std::string& name) const { return out_ + "/" + name; }
    // The names in out/.
    std::vector<std::string> outputs() const;
    // Temporary files anyone left in the temporary folder.
    int temporaryFiles() const;
    // Each box shown, as "title: text".
    std::vector<std::string> messages() const;

    ScopedTempDir temp_;
    const std::string in_ = temp_.file("in");
    const std::string out_ = temp_.file("out");
    ScriptedPlatform platform_;
};

// What 图片框1 shows to a grab: 208 x 96, a black one-pixel border, the
// left half red, the right half blue.
constexpr int kPreviewWidth = 208;
constexpr int kPreviewHeight = 96;
platform::RgbaImage previewShown();

}  // namespace lanzhou::test
