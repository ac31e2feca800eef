#include <boardio/boardio.h>

int main() {
    return 0;
}
