#pragma once

#include "lighting/SceneRecord.h"

#include <array>

// The programs table: 8 programs of 20 scenes, program-major (record of
// program p, scene s at byte p * 960 + s * 48). The scenes table: 8 stand-alone
// scenes. Both hold plain bytes; they are scrambled only on the way to the device.
constexpr int ProgramCount = 8;
constexpr int ScenesPerProgram = 20;
constexpr int StandaloneSceneCount = 8;

using ProgramTable = std::array<SceneRecord, ProgramCount * ScenesPerProgram>;
using SceneTable = std::array<SceneRecord, StandaloneSceneCount>;

// The tables' sizes in bytes, in memory, in the device and in files.
constexpr int ProgramsTableSize = int(sizeof(ProgramTable));
constexpr int ScenesTableSize = int(sizeof(SceneTable));

static_assert(sizeof(ProgramTable) == 7680, "programs table must be 7680 bytes");
static_assert(sizeof(SceneTable) == 384, "scenes table must be 384 bytes");

inline SceneRecord &programRecord(ProgramTable &table, int program, int scene)
{
    return table[program * ScenesPerProgram + scene];
}
inline const SceneRecord &programRecord(const ProgramTable &table, int program, int scene)
{
    return table[program * ScenesPerProgram + scene];
}
