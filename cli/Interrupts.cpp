#include "cli/Interrupts.h"

#include "gpslink/Platform.h"

void Interrupts::Listen()
{
    const int descriptor = TerminationSignalDescriptor();
    if (descriptor < 0)
        return;
    EndOnSecondTerminationSignal();
    notifier_ = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &Interrupts::Take);
}

void Interrupts::Take()
{
    while (const int taken = TakeTerminationSignal()) {
        if (signal_ == 0) {
            signal_ = taken;
            emit Arrived();
        }
    }
}
