// imgconv: converts a JPEG, BMP, TIFF, PNG, PCX or Photo CD picture into PNG
// or JPEG from the shell, through the library's two entry points.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "imgconv/imgconv.h"

namespace {

constexpr int kUsageError = 2;

const char* const kUsage =
    "usage: imgconv [--grey] [--quality N] [--smoothing N] [--no-optimise]\n"
    "               [--to png|jpeg] SOURCE TARGET\n"
    "\n"
    "Converts SOURCE (JPEG, 24-bit BMP, TIFF, PNG, PCX or Photo CD, found by\n"
    "content) into TARGET. Without --to the writer follows TARGET's extension:\n"
    ".png writes PNG (8-bit RGB, interlaced), .jpg or .jpeg writes JPEG.\n"
    "\n"
    "  --to png|jpeg   the writer, whatever TARGET is called\n"
    "  --grey          a greyscale JPEG instead of colour\n"
    "  --quality N     JPEG quality 1..100 (default 75)\n"
    "  --smoothing N   JPEG input smoothing 0..100 (default 0)\n"
    "  --no-optimise   standard instead of optimised Huffman tables\n"
    "  --help          this text\n"
    "\n"
    "Exit status: 0 done, 1 source missing, 3 source unreadable, 4 target not\n"
    "written, 7 bad argument, 2 usage error.\n";

enum class Writer { FromExtension, Png, Jpeg };

struct Options {
    Writer writer = Writer::FromExtension;
    int grey = 0;
    int quality = 75;
    int smoothing = 0;
    int optimise = 1;
    const char* source = nullptr;
    const char* target = nullptr;
};

int usageError(const char* message) {
    std::fprintf(stderr, "imgconv: %s\n%s", message, kUsage);
    return kUsageError;
}

bool parseNumber(const char* text, int& value) {
    if (text == nullptr || text[0] == '\0') return false;
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (*end != '\0' || number < -1000000 || number > 1000000) return false;
    value = static_cast<int>(number);
    return true;
}

bool endsWithIgnoringCase(const std::string& text, const char* suffix) {
    const std::size_t length = std::strlen(suffix);
    return text.size() >= length && strcasecmp(text.c_str() + text.size() - length, suffix) == 0;
}

Writer writerForName(const char* target) {
    const std::string name(target);
    if (endsWithIgnoringCase(name, ".png")) return Writer::Png;
    if (endsWithIgnoringCase(name, ".jpg") || endsWithIgnoringCase(name, ".jpeg"))
        return Writer::Jpeg;
    return Writer::FromExtension;
}

// 0 when the arguments were understood, otherwise the exit status to end with.
int parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return -1;
        } else if (arg == "--grey" || arg == "--gray") {
            options.grey = 1;
        } else if (arg == "--no-optimise" || arg == "--no-optimize") {
            options.optimise = 0;
        } else if (arg == "--quality" || arg == "--smoothing") {
            int& field = arg == "--quality" ? options.quality : options.smoothing;
            if (!parseNumber(value, field)) return usageError((arg + " needs a number").c_str());
            ++i;
        } else if (arg == "--to") {
            const std::string to = value != nullptr ? value : "";
            if (to == "png")
                options.writer = Writer::Png;
            else if (to == "jpeg" || to == "jpg")
                options.writer = Writer::Jpeg;
            else
                return usageError("--to takes png or jpeg");
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError(("unknown option " + arg).c_str());
        } else if (options.source == nullptr) {
            options.source = argv[i];
        } else if (options.target == nullptr) {
            options.target = argv[i];
        } else {
            return usageError("too many file names");
        }
    }
    if (options.target == nullptr) return usageError("SOURCE and TARGET are needed");
    if (options.writer == Writer::FromExtension) options.writer = writerForName(options.target);
    if (options.writer == Writer::FromExtension)
        return usageError("cannot tell the format from TARGET's name; use --to png or --to jpeg");
    return 0;
}

const char* explain(int result) {
    switch (result) {
        case SourceMissing:
            return "the source file does not exist";
        case SourceUnreadable:
            return "the source is no picture this program can read, or it is damaged";
        case WriteFailed:
            return "the target could not be written (is the folder there and writable, the disk "
                   "not full?)";
        case BadArgument:
            return "an argument is out of range (quality 1..100, smoothing 0..100)";
        default:
            return "the conversion failed";
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int parsed = parse(argc, argv, options);
    if (parsed == -1) return 0;
    if (parsed != 0) return parsed;

    const int result = options.writer == Writer::Png
                           ? ConvertToPng(options.source, options.target, 24)
                           : ConvertToJpeg(options.source, options.target, options.grey,
                                           options.quality, options.optimise, options.smoothing);
    if (result == Ok) return 0;
    const char* subject = result == WriteFailed ? options.target : options.source;
    std::fprintf(stderr, "imgconv: %s: %s\n", subject != nullptr ? subject : "", explain(result));
    return -result;
}
