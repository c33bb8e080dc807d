/* measure.c - runs a command and reports its wall-clock time, CPU time and peak memory.
 *
 *   measure OUT_FILE COMMAND [ARG ...]
 *
 * The command's standard output goes to OUT_FILE (its standard error stays on ours). On success
 * measure prints one line "WALL USER SYS MAXRSS_KB" (seconds with microseconds, and the
 * resident set peak in KiB, from wait4) and exits with the command's status. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double Seconds(struct timeval T) { return (double)T.tv_sec + (double)T.tv_usec / 1e6; }

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: measure OUT_FILE COMMAND [ARG ...]\n");
    return 2;
  }
  struct timespec T0, T1;
  clock_gettime(CLOCK_MONOTONIC, &T0);
  pid_t Child = fork();
  if (Child < 0) { perror("fork"); return 2; }
  if (Child == 0) {
    int Out = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (Out < 0 || dup2(Out, 1) < 0) { perror(argv[1]); _exit(127); }
    close(Out);
    execvp(argv[2], argv + 2);
    perror(argv[2]);
    _exit(127);
  }
  int Status = 0;
  struct rusage Usage;
  if (wait4(Child, &Status, 0, &Usage) < 0) { perror("wait4"); return 2; }
  clock_gettime(CLOCK_MONOTONIC, &T1);
  double Wall = (double)(T1.tv_sec - T0.tv_sec) + (double)(T1.tv_nsec - T0.tv_nsec) / 1e9;
  printf("%.6f %.6f %.6f %ld\n", Wall, Seconds(Usage.ru_utime), Seconds(Usage.ru_stime), Usage.ru_maxrss);
  if (WIFEXITED(Status)) return WEXITSTATUS(Status);
  return 128 + (WIFSIGNALED(Status) ? WTERMSIG(Status) : 0);
}
