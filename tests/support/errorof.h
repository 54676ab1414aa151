#pragma once

#include "data/error.h"

#include <QString>
#include <functional>

// The message of the failure an action throws; empty when it succeeds.
inline QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const kestrova::Error& e) {
        return e.message();
    }
    return QString();
}
