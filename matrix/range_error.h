#pragma once

// Raised when an exact value does not fit the width a computation runs in: for 32-bit int
// values, a magnitude above 2147483647; for the wider widths, the symmetric range of the type.
// The computation is then done again wider (matrix/escalation.h). Carries no message.
class Range_Error {};

// Raised when a value does not fit even the widest width of this build (128 bits, where the
// program is built without GMP): the run stops, naming the section it was computing.
class Value_Too_Large {};
