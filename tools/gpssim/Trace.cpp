#include "tools/gpssim/Trace.h"

#include <cstdio>

namespace {
bool tracing = false;
}

void SetTracing(bool on)
{
    tracing = on;
}

void Trace(const QString& text)
{
    if (!tracing)
        return;
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
