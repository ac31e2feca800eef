#ifndef BOARDIO_BOARDIO_H
#define BOARDIO_BOARDIO_H

// The driver's public interface: the board facade, its observer interfaces
// and states, the commands a host sends and the messages a board sends back.
#include "commands.h"
#include "krvEBLow.h"
#include "link_observer.h"
#include "messages.h"
#include "observer.h"

#endif
