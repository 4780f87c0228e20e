#pragma once

#include "platform/clock.h"

// A clock that shows `time` until a test moves it.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime t = QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9)))
        : time(std::move(t))
    {
    }
    QDateTime now() const override { return time; }
    QDateTime time;
};
