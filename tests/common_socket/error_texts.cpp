#include "error_texts.h"

#include "platform/winsock.h"

std::string ConnectionResetText(const char* what) {
  return std::string(what) + ": " + winsock::SocketErrorText(winsock::WSAECONNRESET);
}

std::string NotASocketText(const char* what) {
  return std::string(what) + ": " + winsock::SocketErrorText(winsock::WSAENOTSOCK);
}
