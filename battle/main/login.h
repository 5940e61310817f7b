// The login: connect to the server named in the login block, send the login text and wait
// for the game parameters.
#pragma once

struct LoginBlock;

// 0 when logged in (the connection stays up), 1 on failure. Every failure after the connection
// was opened closes it again.
int LoginToServer(const LoginBlock* block);
