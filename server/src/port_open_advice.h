#ifndef DAMRELAY_PORT_OPEN_ADVICE_H
#define DAMRELAY_PORT_OPEN_ADVICE_H

#include <boost/system/error_code.hpp>
#include <string>

// Console lines for a serial device that would not open: the serial devices
// that this machine has (a USB adapter rarely gets the name the user tried
// first) and, when the device refused this user, the group to join. Each line
// ends in a line feed and starts with "--"; empty where there is nothing to
// add (on Windows, whose port names need no such help).
std::string portOpenAdvice(const std::string& device, const boost::system::error_code& error);

// True when the error says another program holds the device: then that is
// all there is to say, and no advice applies.
bool heldByAnotherProgram(const boost::system::error_code& error);

// The same, with the devices looked for under devRoot instead of /dev.
std::string portOpenAdvice(const std::string& device, const boost::system::error_code& error,
                           const std::string& devRoot);

#endif
