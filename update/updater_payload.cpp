#include "update/updater_payload.h"

#include <cstdint>

// LANZHOU_UPDATER_BINARY is the path of the built updater; the assembler
// copies its bytes into read-only data.
asm(".section .rodata\n"
    ".balign 16\n"
    "lanzhou_updater_payload_begin:\n"
    ".incbin \"" LANZHOU_UPDATER_BINARY
    "\"\n"
    "lanzhou_updater_payload_end:\n"
    ".balign 8\n"
    "lanzhou_updater_payload_size:\n"
    ".quad lanzhou_updater_payload_end - lanzhou_updater_payload_begin\n"
    ".previous\n");

extern "C" const unsigned char lanzhou_updater_payload_begin[];
extern "C" const uint64_t lanzhou_updater_payload_size;

namespace update {

const unsigned char* updaterPayload() {
    return lanzhou_updater_payload_begin;
}

std::size_t updaterPayloadSize() {
    return lanzhou_updater_payload_size;
}

}  // namespace update
