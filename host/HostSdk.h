#pragma once
// The editing host's side of the importer interface, as this system sees it: the entry point's
// signature, the selectors and result codes, the records the host passes, its memory and
// utility function tables, and the suites a plug-in acquires by name.
//
// Records are packed as the host lays them out. Every byte position a plug-in reads or writes
// is pinned below with static_assert; bytes the plug-in never touches are kept as opaque filler.

#include <cstddef>
#include <cstdint>

namespace host {

// ---------------------------------------------------------------------------------------------
// Codes

// The host's pixel formats: the four characters in memory order, the first in the lowest byte.
constexpr std::uint32_t HostFourCC(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}
// File types and sub-types: the first character in the most significant byte.
constexpr std::uint32_t FileTypeCode(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d));
}

inline constexpr std::uint32_t kPixelFormatYV12 = HostFourCC('y', 'v', '1', '2');  // progressive SD
inline constexpr std::uint32_t kPixelFormatYV17 = HostFourCC('y', 'v', '1', '7');  // progressive HD
inline constexpr std::uint32_t kPixelFormatYVI2 = HostFourCC('y', 'v', 'i', '2');  // interlaced SD
inline constexpr std::uint32_t kPixelFormatYVI7 = HostFourCC('y', 'v', 'i', '7');  // interlaced HD

// Selectors of the importer entry point that the host sends with a meaning of its own.
enum Selector : std::int32_t {
    kSelStartup = 0,
    kSelQuiet = 8,
    kSelClose = 9,
    kSelDescription = 12,
    kSelDataRate = 13,
    kSelFileFormat = 14,
    kSelImportAudio = 25,
    kSelPixelFormat = 27,
    kSelFixedAnswer = 36,
    kSelClipInfo = 37,
    kSelPreferences = 38,
    kSelOpen = 39,
    kSelFrameSize = 45,
    kSelDeliverFrame = 47,
    kSelLockPrivate = 52,
    kSelUnlockPrivate = 53,
    kSelStreamLabel = 60,
};

// Results of the importer entry point.
enum Result : std::int32_t {
    kResultSuccess = 0,
    kResultCannotOpen = 2,
    kResultUnsupported = 3,
    kResultBadFrameSizeIndex = 5,
    kResultAnotherStream = 18,
    kResultNoMoreStreams = 19,
    kResultFileSeekFailed = 99,
    kResultFixedAnswer = 101,
    kResultBadFormatIndex = 301,
};

// Results of suite operations.
enum SuiteResult : std::int32_t {
    kSuiteSuccess = 0,
    kSuiteUnknownSuite = -1,
    kSuiteBadParameter = -2,
    kSuiteOutOfMemory = -3,
};

// Rate codes of the time suite: 24000/1001, 24, 25, 30000/1001, 30, 50, 60000/1001, 60.
enum RateCode : std::int32_t {
    kRate23976 = 1,
    kRate24 = 2,
    kRate25 = 3,
    kRate2997 = 4,
    kRate30 = 5,
    kRate50 = 6,
    kRate5994 = 7,
    kRate60 = 8,
};

// Access code for new frame buffers and their planes: read and write.
inline constexpr std::int32_t kAccessReadWrite = 2;

// ---------------------------------------------------------------------------------------------
// Handles

// A block of host memory. The plug-in sees its bytes only between lock and unlock.
struct MemoryBlock;
using MemoryHandle = MemoryBlock*;

// The host keeps a clip's open file as a plain descriptor; -1 is no file.
using FileRef = std::intptr_t;
inline constexpr FileRef kInvalidFileRef = -1;

// A host frame buffer, made by the creator suite.
struct FrameBufferRec;
using PPixHandle = FrameBufferRec*;

// ---------------------------------------------------------------------------------------------
// Function tables and suites. Calls cross the plug-in boundary: plain function pointers.

struct MemoryFuncs {
    MemoryHandle (*newHandle)(std::int32_t size);
    void* (*lockHandle)(MemoryHandle handle);  // the block's bytes, or null for no handle
    void (*unlockHandle)(MemoryHandle handle);
    void (*disposeHandle)(MemoryHandle handle);
};

// The suite broker: suites by name and version.
struct BasicSuite {
    std::int32_t (*AcquireSuite)(const char* name, std::int32_t version, const void** suite);
    std::int32_t (*ReleaseSuite)(const char* name, std::int32_t version);
};

struct UtilityFuncs {
    BasicSuite* (*getBasicSuite)();
};

inline constexpr char kPPixCreatorSuiteName[] = "Premiere PPix Creator Suite";
inline constexpr std::int32_t kPPixCreatorSuiteVersion = 1;
inline constexpr char kPPix2SuiteName[] = "Premiere PPix 2 Suite";
inline constexpr std::int32_t kPPix2SuiteVersion = 3;
inline constexpr char kTimeSuiteName[] = "Premiere Time Suite";
inline constexpr std::int32_t kTimeSuiteVersion = 1;
inline constexpr char kStringSuiteName[] = "MediaCore StringSuite";
inline constexpr std::int32_t kStringSuiteVersion = 1;

#pragma pack(push, 1)

struct BoundsRect {
    std::int32_t left, top, right, bottom;
};

// An 8-byte host string made by the string suite.
struct HostString {
    std::uint64_t id;
};

#pragma pack(pop)

struct PPixCreatorSuite {
    std::int32_t (*CreatePPix)(PPixHandle* out, std::int32_t access, std::uint32_t pixelFormat,
                               const BoundsRect* bounds);
};

struct PPix2Suite {
    // Planes in the order Y, U, V, with their row pitches in bytes.
    std::int32_t (*GetYUV420PlanarBuffers)(PPixHandle frame, std::int32_t access, char** y,
                                           std::uint32_t* yRowBytes, char** u,
                                           std::uint32_t* uRowBytes, char** v,
                                           std::uint32_t* vRowBytes);
};

struct TimeSuite {
    std::int32_t (*GetTicksPerSecond)(std::int64_t* ticks);
    std::int32_t (*GetTicksPerVideoFrame)(std::int32_t rateCode, std::int64_t* ticks);
};

struct StringSuite {
    std::int32_t (*AllocateFromUTF8)(const std::uint8_t* text, HostString* out);
};

// The plug-in calls back into the host through none of these; the host passes them anyway.
struct HostCallbacks;

struct HostFunctionTables {
    MemoryFuncs* memory;
    UtilityFuncs* utility;
};

// ---------------------------------------------------------------------------------------------
// Records

#pragma pack(push, 1)

// Passed with every call.
struct StandardParams {
    std::int32_t interfaceVersion;
    HostCallbacks* callbacks;
    HostFunctionTables* functions;
};
static_assert(offsetof(StandardParams, interfaceVersion) == 0);

// Selector 0, param1. The plug-in clears its capability fields and, for hosts of interface
// version 6 and later, turns on the field at byte 72; everything else is the host's.
struct ImportInfoRecord {
    std::uint8_t host0[8];
    std::int32_t capability8;
    std::int32_t capability12;
    std::uint8_t host16[20];
    std::int32_t capability36;
    std::int32_t capability40;
    std::int32_t capability44;
    std::int32_t capability48;
    std::int32_t capability52;
    std::uint8_t host56[8];
    std::int32_t capability64;
    std::int32_t capability68;
    std::int32_t version6Feature72;
    std::uint8_t host76[52];
};
static_assert(offsetof(ImportInfoRecord, capability8) == 8);
static_assert(offsetof(ImportInfoRecord, capability12) == 12);
static_assert(offsetof(ImportInfoRecord, capability36) == 36);
static_assert(offsetof(ImportInfoRecord, capability40) == 40);
static_assert(offsetof(ImportInfoRecord, capability44) == 44);
static_assert(offsetof(ImportInfoRecord, capability48) == 48);
static_assert(offsetof(ImportInfoRecord, capability52) == 52);
static_assert(offsetof(ImportInfoRecord, capability64) == 64);
static_assert(offsetof(ImportInfoRecord, capability68) == 68);
static_assert(offsetof(ImportInfoRecord, version6Feature72) == 72);

// Selector 14, param2.
struct FileFormatRecord {
    std::uint32_t fileType;
    std::uint8_t host4[4];
    std::int32_t flags8;
    char formatName[256];
    char shortName[32];
    char extensions[256];
};
static_assert(offsetof(FileFormatRecord, fileType) == 0);
static_assert(offsetof(FileFormatRecord, flags8) == 8);
static_assert(offsetof(FileFormatRecord, formatName) == 12);
static_assert(offsetof(FileFormatRecord, shortName) == 268);
static_assert(offsetof(FileFormatRecord, extensions) == 300);
static_assert(sizeof(FileFormatRecord) == 556);

// Selector 39, param2.
struct OpenRecord {
    std::uint32_t fileType;  // written by the plug-in
    char16_t path[260];      // the descriptor, zero-terminated
    FileRef fileRef;         // written by the plug-in
    MemoryHandle privateData;
};

// Selectors 52 and 53, param2; every per-clip record starts with the same field.
struct PrivateDataRecord {
    MemoryHandle privateData;
};
static_assert(offsetof(PrivateDataRecord, privateData) == 0);

// Selector 37, param2.
struct FileInfoRecord {
    std::uint8_t hasVideo;
    std::uint8_t hasAudio;
    std::int32_t width;
    std::int32_t height;
    std::uint8_t host10[2];
    std::int16_t depth;
    std::uint32_t subType;
    std::int32_t fieldType;
    std::uint8_t byte22;
    std::uint8_t host23[11];
    std::int32_t parNum;
    std::int32_t parDen;
    std::uint8_t host42[8];
    std::int32_t field50;
    std::int64_t field54;
    std::uint8_t host62[100];
    std::int32_t rateNum;
    std::int32_t rateDen;
    std::int32_t duration;
    std::int32_t channels;
    float sampleRate;
    std::int32_t sampleType;
    std::int64_t audioDuration;
    std::int32_t field194;
    std::uint8_t host198[16];
    std::uint8_t byte214;
    std::int32_t streamIndex;
    std::uint8_t byte219;
    std::uint8_t host220[517];
    std::uint8_t byte737;
    std::uint8_t host738[6];
};
static_assert(offsetof(FileInfoRecord, hasVideo) == 0);
static_assert(offsetof(FileInfoRecord, hasAudio) == 1);
static_assert(offsetof(FileInfoRecord, width) == 2);
static_assert(offsetof(FileInfoRecord, height) == 6);
static_assert(offsetof(FileInfoRecord, depth) == 12);
static_assert(offsetof(FileInfoRecord, subType) == 14);
static_assert(offsetof(FileInfoRecord, fieldType) == 18);
static_assert(offsetof(FileInfoRecord, byte22) == 22);
static_assert(offsetof(FileInfoRecord, parNum) == 34);
static_assert(offsetof(FileInfoRecord, parDen) == 38);
static_assert(offsetof(FileInfoRecord, field50) == 50);
static_assert(offsetof(FileInfoRecord, field54) == 54);
static_assert(offsetof(FileInfoRecord, rateNum) == 162);
static_assert(offsetof(FileInfoRecord, rateDen) == 166);
static_assert(offsetof(FileInfoRecord, duration) == 170);
static_assert(offsetof(FileInfoRecord, channels) == 174);
static_assert(offsetof(FileInfoRecord, sampleRate) == 178);
static_assert(offsetof(FileInfoRecord, sampleType) == 182);
static_assert(offsetof(FileInfoRecord, audioDuration) == 186);
static_assert(offsetof(FileInfoRecord, field194) == 194);
static_assert(offsetof(FileInfoRecord, byte214) == 214);
static_assert(offsetof(FileInfoRecord, streamIndex) == 215);
static_assert(offsetof(FileInfoRecord, byte219) == 219);
static_assert(offsetof(FileInfoRecord, byte737) == 737);

// Selector 12, param2.
struct DescriptionRecord {
    MemoryHandle privateData;
    std::uint8_t host8[8];
    std::int32_t bufferSize;
    char* buffer;
};
static_assert(offsetof(DescriptionRecord, privateData) == 0);
static_assert(offsetof(DescriptionRecord, bufferSize) == 16);
static_assert(offsetof(DescriptionRecord, buffer) == 20);

// Selector 13, param2.
struct DataRateRecord {
    MemoryHandle privateData;
    std::uint8_t host8[8];
    std::int32_t bufferSize;
    char* buffer;
    std::int32_t field28;
};
static_assert(offsetof(DataRateRecord, privateData) == 0);
static_assert(offsetof(DataRateRecord, bufferSize) == 16);
static_assert(offsetof(DataRateRecord, buffer) == 20);
static_assert(offsetof(DataRateRecord, field28) == 28);

// Selector 38, param1.
struct FileAccessRecord {
    std::uint8_t host0[12];
    char16_t path[260];
};
static_assert(offsetof(FileAccessRecord, path) == 12);

// Selector 38, param2.
struct PreferencesRecord {
    char* buffer;
    std::int32_t bufferLength;
};
static_assert(offsetof(PreferencesRecord, buffer) == 0);
static_assert(offsetof(PreferencesRecord, bufferLength) == 8);

// Selector 27, param2.
struct PixelFormatRecord {
    MemoryHandle privateData;
    std::uint32_t pixelFormat;
};
static_assert(offsetof(PixelFormatRecord, privateData) == 0);
static_assert(offsetof(PixelFormatRecord, pixelFormat) == 8);

// Selector 45, param1.
struct FrameSizeRecord {
    MemoryHandle privateData;
    std::uint8_t host8[12];
    std::int32_t index;
    std::int32_t width;
    std::int32_t height;
};
static_assert(offsetof(FrameSizeRecord, privateData) == 0);
static_assert(offsetof(FrameSizeRecord, index) == 20);
static_assert(offsetof(FrameSizeRecord, width) == 24);
static_assert(offsetof(FrameSizeRecord, height) == 28);

// Selector 60, param1.
struct StreamLabelRecord {
    MemoryHandle privateData;
    std::uint8_t host8[8];
    std::int32_t streamIndex;
    HostString label;
};
static_assert(offsetof(StreamLabelRecord, privateData) == 0);
static_assert(offsetof(StreamLabelRecord, streamIndex) == 16);
static_assert(offsetof(StreamLabelRecord, label) == 20);

// The first entry of selector 47's requested formats.
struct FrameFormat {
    std::int32_t width;
    std::int32_t height;
    std::uint32_t pixelFormat;
};
static_assert(offsetof(FrameFormat, height) == 4);
static_assert(offsetof(FrameFormat, pixelFormat) == 8);

// Selector 47, param2.
struct SourceVideoRecord {
    MemoryHandle privateData;
    std::int32_t streamIndex;
    std::int64_t time;
    FrameFormat* formats;
    std::uint8_t host28[8];
    PPixHandle* frame;
};
static_assert(offsetof(SourceVideoRecord, privateData) == 0);
static_assert(offsetof(SourceVideoRecord, streamIndex) == 8);
static_assert(offsetof(SourceVideoRecord, time) == 12);
static_assert(offsetof(SourceVideoRecord, formats) == 20);
static_assert(offsetof(SourceVideoRecord, frame) == 36);

// Selector 25, param2.
struct AudioRequestRecord {
    std::int64_t position;  // negative: continue after the previous block
    std::uint32_t size;
    float** buffers;
    MemoryHandle privateData;
};
static_assert(offsetof(AudioRequestRecord, position) == 0);
static_assert(offsetof(AudioRequestRecord, size) == 8);
static_assert(offsetof(AudioRequestRecord, buffers) == 12);
static_assert(offsetof(AudioRequestRecord, privateData) == 20);

#pragma pack(pop)

// The plug-in's one entry point, exported with C linkage.
using ImportEntryFunc = std::int32_t (*)(std::int32_t selector, StandardParams* stdParms,
                                          std::intptr_t param1, std::intptr_t param2);
inline constexpr char kImportEntryName[] = "xImportEntry";

}  // namespace host
