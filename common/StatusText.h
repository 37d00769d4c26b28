#pragma once
// English texts for Media SDK status values.

namespace qivo {

// Never null; 0 gives the empty text.
const char* StatusText(int status);

}  // namespace qivo
