#pragma once

namespace ds {

// A write to a closed pipe or past the file size limit would end the program
// by a signal on some systems, before it could say which file failed. After
// this call such writes fail with an error instead (EPIPE, EFBIG), which the
// writer reports.
void letFailedWritesReturnErrors();

} // namespace ds
