#include "imgconv/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "imgconv/file_util.h"

#if defined(__SANITIZE_ADDRESS__)
#define IMGCONV_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define IMGCONV_ASAN 1
#endif
#endif

#ifdef IMGCONV_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace imgconv {

namespace {

// How often a name taken by someone else between choosing and creating it
// is passed over before `create` gives up.
constexpr int kCreateAttempts = 1000;

std::size_t pageSize() {
    return static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

#ifdef IMGCONV_ASAN
std::size_t roundUpToPage(std::size_t bytes) {
    const std::size_t page = pageSize();
    return (bytes + page - 1) / page * page;
}
#endif

// Exclusive and without following links: the temporary folder may be shared
// with other users, who could plant a link or a file under the next name.
int createExclusively(const char* name) {
    return open(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

}  // namespace

int MappedFile::create(std::size_t size, const char* prefix) {
    release(0);
    if (size == 0 || prefix == nullptr || prefix[0] == '\0') return 0;

    int descriptor = -1;
    for (int attempt = 0; attempt < kCreateAttempts && descriptor < 0; ++attempt) {
        if (fileUtil.makeTempFileName(name_, prefix, nullptr) == 0) return 0;
        descriptor = createExclusively(name_.text());
        if (descriptor < 0 && errno != EEXIST) break;
    }
    if (descriptor < 0) {
        name_.clear();
        return 0;
    }

    size_ = size;
    const int mapped = mapFile(descriptor);
    close(descriptor);
    if (mapped == 0) {
        release(1);
        return 0;
    }
    return 1;
}

int MappedFile::mapFile(int descriptor) {
    if (size_ > static_cast<std::size_t>(INT64_MAX)) return 0;
    const off_t length = static_cast<off_t>(size_);
    if (ftruncate(descriptor, length) != 0) return 0;
    if (posix_fallocate(descriptor, 0, length) != 0) return 0;

#ifdef IMGCONV_ASAN
    // AddressSanitizer does not watch mapped memory: reserve an inaccessible
    // page after the mapping and poison the unused end of its last page, so
    // that running off the end of a row is caught.
    reserved_ = roundUpToPage(size_) + pageSize();
    void* area = mmap(nullptr, reserved_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) {
        reserved_ = 0;
        return 0;
    }
    void* view = mmap(area, size_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_FIXED, descriptor, 0);
    if (view == MAP_FAILED) {
        munmap(area, reserved_);
        reserved_ = 0;
        return 0;
    }
    view_ = static_cast<unsigned char*>(view);
    ASAN_POISON_MEMORY_REGION(view_ + size_, roundUpToPage(size_) - size_);
#else
    void* view = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
    if (view == MAP_FAILED) return 0;
    view_ = static_cast<unsigned char*>(view);
    reserved_ = size_;
#endif
    return 1;
}

int MappedFile::release(int deleteFile) {
    if (view_ != nullptr) {
#ifdef IMGCONV_ASAN
        ASAN_UNPOISON_MEMORY_REGION(view_ + size_, roundUpToPage(size_) - size_);
#endif
        munmap(view_, reserved_);
    }
    if (deleteFile == 1 && !name_.empty()) fileUtil.deleteIfExists(name_.text());
    view_ = nullptr;
    size_ = 0;
    reserved_ = 0;
    name_.clear();
    return 1;
}

int MappedFile::flush(void* address, std::size_t bytes) {
    if (view_ == nullptr) return 0;
    unsigned char* start = bytes != 0 ? static_cast<unsigned char*>(address) : view_;
    if (bytes == 0) bytes = size_;
    // msync wants a page-aligned start.
    const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(start) % pageSize();
    return msync(start - offset, bytes + offset, MS_ASYNC) == 0 ? 1 : 0;
}

}  // namespace imgconv
