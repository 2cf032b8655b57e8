// SPDX-License-Identifier: GPL-3.0-or-later
#include "session.h"

Session& session() {
    static Session s;
    return s;
}
