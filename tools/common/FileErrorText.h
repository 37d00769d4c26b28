#pragma once
// The copy tools' result codes and the texts the users see for them.

namespace tools {

inline constexpr unsigned ERR_CANNOT_OPEN_FILE = 101;
inline constexpr unsigned ERR_CANNOT_CREATE_FILE = 102;
inline constexpr unsigned ERR_CANNOT_DELETE_FILE = 103;
inline constexpr unsigned ERR_FILE_EXISTS = 104;
inline constexpr unsigned ERR_FILE_READ = 105;
inline constexpr unsigned ERR_FILE_WRITE = 106;
inline constexpr unsigned ERR_FILE_TYPE = 107;
inline constexpr unsigned ERR_NULL_POINTER = 200;
inline constexpr unsigned ERR_NO_MEMORY = 201;

// The text of a code, or null for 0 and any code not listed above.
const char* FileErrorText(unsigned code);

}  // namespace tools
