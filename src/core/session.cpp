#include "session.h"

Session& session() {
    static Session s;
    return s;
}
