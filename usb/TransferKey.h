#pragma once

#include <cstdint>

// The 32-word transfer key shared by the tool and the device firmware.
// Firmware pages, upgrade images and everything the tool stores in the
// external flash are scrambled with it (see Scrambling.h). The device
// emulator uses this same table by default, so both ends agree.
//
// The table below is this project's own. A real Vt520 only works with the
// table of its firmware: configure with -DVT520_TRANSFER_KEY_FILE=key.bin
// (128 bytes, 32 little-endian words) and the build includes that table
// instead, for the program and the emulator alike.
inline constexpr int TransferKeyWordCount = 32;

inline constexpr uint32_t TransferKey[TransferKeyWordCount] = {
#ifdef VT520_TRANSFER_KEY_TABLE
#include VT520_TRANSFER_KEY_TABLE
#else
    0x5A3C96E1u, 0x1F0B7D24u, 0xC4E2A859u, 0x9D61F03Bu, 0x37A8C5D2u, 0xE05B1A6Fu, 0x6C9E3487u, 0xB2174DF0u,
    0x0D8AF369u, 0x74C12E9Bu, 0xA9F6508Cu, 0x4B27D1E5u, 0xF3906C1Au, 0x288E4BD7u, 0x81D5A036u, 0x5E0C79F8u,
    0xC73B2E41u, 0x12FA8D5Cu, 0x9B6470A3u, 0x6DE1C92Fu, 0x3045B7EAu, 0xE8AD163Cu, 0x57C2F084u, 0xAF19634Du,
    0x0B7ED5B2u, 0xD4538A17u, 0x62B04CF9u, 0x8EC7316Au, 0x19F4E8C3u, 0xF56A0B2Eu, 0x436D9F75u, 0xBA0827D1u,
#endif
};
