#pragma once

// Framework operations report their qualified name, line and a printf-style
// message here. These modules trace nothing, so the hook compiles away.
inline void Trace(const char* /*function*/, int /*line*/, const char* /*format*/, ...) {}

#define TRACE_OP(format, ...) Trace(__func__, __LINE__, format, ##__VA_ARGS__)
