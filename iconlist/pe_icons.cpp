#include "iconlist/pe_icons.h"

#include <vector>

#include "iconlist/icon_directory.h"
#include "iconlist/icon_image.h"
#include "workflow/little_endian.h"

namespace lanzhou {
namespace {

// IMAGE_DOS_HEADER: "MZ", and at 0x3C the file offset of the "PE\0\0"
// signature, which the 20-byte IMAGE_FILE_HEADER follows.
constexpr std::size_t kNewHeaderPointer = 0x3C;
constexpr std::size_t kSignatureSize = 4;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionCount = 2;
constexpr std::size_t kOptionalHeaderSize = 16;

// The optional header: its magic tells PE32 from PE32+, which differ in
// where the count of data directories stands. The resource directory is
// data directory 2, each directory an RVA and a size.
constexpr uint32_t kPe32Magic = 0x10B;
constexpr uint32_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kPe32DirectoryCount = 92;
constexpr std::size_t kPe32PlusDirectoryCount = 108;
constexpr uint32_t kResourceDirectory = 2;
constexpr std::size_t kDataDirectorySize = 8;

// IMAGE_SECTION_HEADER: 40 bytes; we need where its data is in memory and
// in the file.
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kSectionVirtualAddress = 12;
constexpr std::size_t kSectionRawSize = 16;
constexpr std::size_t kSectionRawPointer = 20;

// The resource tree has three levels: type, name, language. A directory is
// 16 bytes ending in the counts of named and of id entries, then 8-byte
// entries: a name (an id, or a string when the top bit is set) and an
// offset from the tree's start (a subdirectory when the top bit is set,
// else a 16-byte data entry: the data's RVA and size).
constexpr uint32_t kDirectoryHeaderSize = 16;
constexpr std::size_t kNamedEntryCount = 12;
constexpr std::size_t kIdEntryCount = 14;
constexpr uint32_t kEntrySize = 8;
constexpr uint32_t kHighBit = 0x80000000;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kRtIcon = 3;
constexpr uint32_t kRtGroupIcon = 14;

struct Section {
    uint32_t virtualAddress;
    uint32_t rawSize;
    uint32_t rawPointer;
};

// Which entry of a resource directory: the one named `value`, or the
// `value`-th one in directory order.
struct Choice {
    bool byId;
    uint32_t value;
};

// The resources of a PE file, found through its headers and section table.
// Every address is checked against the section that holds it and the file.
class PeResources {
  public:
    PeResources(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool open();
    // The data of the resource of `type` that `name` chooses, in its first
    // language.
    bool resource(uint32_t type, Choice name, const unsigned char*& bytes, uint32_t& length) const;

  private:
    bool inFile(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    // `length` bytes at the address `rva`, inside one section's file data.
    const unsigned char* atRva(uint64_t rva, uint64_t length) const;
    const unsigned char* inTree(uint32_t offset, uint32_t length) const {
        return atRva(uint64_t{resourceRva_} + offset, length);
    }
    // The offset of the entry's subdirectory (or data entry, for the last
    // level) in the directory at `directoryOffset`.
    bool child(uint32_t directoryOffset, Choice choice, bool subdirectory,
               uint32_t& childOffset) const;

    const unsigned char* data_;
    std::size_t size_;
    std::vector<Section> sections_;
    uint32_t resourceRva_ = 0;
};

bool PeResources::open() {
    if (!inFile(0, kNewHeaderPointer + 4) || data_[0] != 'M' || data_[1] != 'Z') return false;
    const uint64_t peOffset = readDword(data_ + kNewHeaderPointer);
    if (!inFile(peOffset, kSignatureSize + kFileHeaderSize)) return false;
    const unsigned char* pe = data_ + peOffset;
    if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return false;
    const unsigned char* fileHeader = pe + kSignatureSize;
    const uint32_t sectionCount = readWord(fileHeader + kSectionCount);
    const uint32_t optionalSize = readWord(fileHeader + kOptionalHeaderSize);
    const uint64_t optionalOffset = peOffset + kSignatureSize + kFileHeaderSize;
    if (optionalSize < 2 || !inFile(optionalOffset, optionalSize)) return false;
    const unsigned char* optional = data_ + optionalOffset;

    const uint32_t magic = readWord(optional);
    std::size_t countField;
    if (magic == kPe32Magic)
        countField = kPe32DirectoryCount;
    else if (magic == kPe32PlusMagic)
        countField = kPe32PlusDirectoryCount;
    else
        return false;
    const std::size_t resourceField = countField + 4 + kResourceDirectory * kDataDirectorySize;
    if (optionalSize < resourceField + kDataDirectorySize ||
        readDword(optional + countField) <= kResourceDirectory)
        return false;
    resourceRva_ = readDword(optional + resourceField);
    if (resourceRva_ == 0) return false;

    const uint64_t tableOffset = optionalOffset + optionalSize;
    if (!inFile(tableOffset, uint64_t{sectionCount} * kSectionHeaderSize)) return false;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const unsigned char* header = data_ + tableOffset + i * kSectionHeaderSize;
        sections_.push_back({readDword(header + kSectionVirtualAddress),
                             readDword(header + kSectionRawSize),
                             readDword(header + kSectionRawPointer)});
    }
    return true;
}

const unsigned char* PeResources::atRva(uint64_t rva, uint64_t length) const {
    for (const Section& section : sections_) {
        if (rva < section.virtualAddress) continue;
        const uint64_t within = rva - section.virtualAddress;
        if (within > section.rawSize || length > section.rawSize - within) continue;
        const uint64_t offset = section.rawPointer + within;
        return inFile(offset, length) ? data_ + offset : nullptr;
    }
    return nullptr;
}

bool PeResources::child(uint32_t directoryOffset, Choice choice, bool subdirectory,
                        uint32_t& childOffset) const {
    const unsigned char* header = inTree(directoryOffset, kDirectoryHeaderSize);
    if (header == nullptr) return false;
    const uint32_t count = readWord(header + kNamedEntryCount) + readWord(header + kIdEntryCount);
    const unsigned char* directory =
        inTree(directoryOffset, kDirectoryHeaderSize + count * kEntrySize);
    if (directory == nullptr) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = directory + kDirectoryHeaderSize + i * kEntrySize;
        if (choice.byId ? readDword(entry) != choice.value : i != choice.value) continue;
        const uint32_t target = readDword(entry + 4);
        if (((target & kHighBit) != 0) != subdirectory) return false;
        childOffset = target & ~kHighBit;
        return true;
    }
    return false;
}

bool PeResources::resource(uint32_t type, Choice name, const unsigned char*& bytes,
                           uint32_t& length) const {
    // Exactly three levels are walked, and the last must lead to data, so a
    // subdirectory pointing back up the tree ends the search.
    uint32_t names = 0, languages = 0, dataEntry = 0;
    if (!child(0, {true, type}, true, names) || !child(names, name, true, languages) ||
        !child(languages, {false, 0}, false, dataEntry))
        return false;
    const unsigned char* entry = inTree(dataEntry, kDataEntrySize);
    if (entry == nullptr) return false;
    length = readDword(entry + 4);
    bytes = atRva(readDword(entry), length);
    return bytes != nullptr;
}

}  // namespace

Bitmap iconFromPeFile(const unsigned char* data, std::size_t size, int32_t index, int32_t side) {
    if (index < 0) return Bitmap();
    PeResources pe(data, size);
    if (!pe.open()) return Bitmap();
    const unsigned char* group = nullptr;
    uint32_t groupSize = 0;
    if (!pe.resource(kRtGroupIcon, {false, static_cast<uint32_t>(index)}, group, groupSize))
        return Bitmap();
    std::vector<IconEntry> entries;
    if (!readIconDirectory(group, groupSize, IconDirectoryKind::Group, entries)) return Bitmap();
    const int best = bestIconEntry(entries, side);
    if (best < 0) return Bitmap();
    const unsigned char* image = nullptr;
    uint32_t imageSize = 0;
    if (!pe.resource(kRtIcon, {true, entries[best].location}, image, imageSize)) return Bitmap();
    return decodeIconImage(image, imageSize);
}

}  // namespace lanzhou
