/* A 32-bit program that only starts threads, to tell the emulator's faults from the product's.
 * Where the kernel runs no 32-bit code, Wine's 32-bit half runs through qemu's i386 user
 * emulator (see tests/harness/emulation.py); this program then dies or hangs the way the
 * shipped exe does, with none of the product's code in it. Natively it always prints "done".
 *
 *   wine64 thread_churn.exe ending 30   rounds of 8 threads that end at once
 *   wine64 thread_churn.exe parked 30   rounds of 8 threads that stay blocked until exit
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static DWORD WINAPI end_soon(LPVOID ms) {
  Sleep((DWORD)(UINT_PTR)ms);
  return 0;
}

static DWORD WINAPI stay_parked(LPVOID event) {
  WaitForSingleObject((HANDLE)event, INFINITE);
  return 0;
}

int main(int argc, char** argv) {
  int parked = argc > 1 && strcmp(argv[1], "parked") == 0;
  int rounds = argc > 2 ? atoi(argv[2]) : 30;
  HANDLE never = CreateEventW(NULL, TRUE, FALSE, NULL);
  DWORD start = GetTickCount();
  for (int round = 1; round <= rounds; ++round) {
    HANDLE threads[8];
    for (int k = 0; k < 8; ++k)
      threads[k] = parked ? CreateThread(NULL, 0, stay_parked, never, 0, NULL)
                          : CreateThread(NULL, 0, end_soon, (LPVOID)(UINT_PTR)(k * 3), 0, NULL);
    if (!parked) WaitForMultipleObjects(8, threads, TRUE, INFINITE);
    for (int k = 0; k < 8; ++k) CloseHandle(threads[k]);
    if (parked) Sleep(30);
    printf("thread_churn: round %d of %d at %lu ms\n", round, rounds, GetTickCount() - start);
    fflush(stdout);
  }
  printf("thread_churn: done\n");
  return 0;
}
