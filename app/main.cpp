// Varnelo: carry the cakes across the torte to the phantom before the ghosts
// steal them.
#include "app/game_app.h"

int main() { return runVarnelo(); }
