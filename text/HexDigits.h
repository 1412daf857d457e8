// The upper-case hexadecimal digits, indexed by value: one table for the
// percent-encoder, quoted-printable and the run report's escapes.
#pragma once

inline constexpr char kHexDigits[] = "0123456789ABCDEF";
