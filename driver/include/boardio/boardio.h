#ifndef BOARDIO_BOARDIO_H
#define BOARDIO_BOARDIO_H

// The driver's public interface: the board facade, its observer interface and
// states, the commands a host sends and the messages a board sends back.
#include "commands.h"
#include "krvEBLow.h"
#include "messages.h"
#include "observer.h"

#endif
