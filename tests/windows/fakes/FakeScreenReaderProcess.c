/* A process that only waits: copied as "nvda.exe" or "jfw.exe" it is what the process
   list shows of a running screen reader. Ends after a minute at the latest. */
#include <windows.h>
int main(void) {
    Sleep(60000);
    return 0;
}
