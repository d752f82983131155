#pragma once

#include <QString>

// Human-readable notes on the simulator's traffic, written to stderr only
// when tracing was switched on (--verbose).
void SetTracing(bool on);
void Trace(const QString& text);
