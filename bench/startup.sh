#!/usr/bin/env bash
# Start-up cost of one action against the process floor: spawns `zemblaro add 1 2` and a C
# program that only returns 0, alternately, with posix_spawn, and reports the time per run of
# each (minimum and median over the runs) and their ratios. The check is on the minimums, which
# a loaded machine disturbs least: exits 1 when their ratio is above the limit.
#   bench/startup.sh [BINARY] [RUNS] [LIMIT]   (defaults: build/default/zemblaro 300 1.15)
set -euo pipefail
bin=$(realpath "${1:-build/default/zemblaro}")
runs=${2:-300}
limit=${3:-1.15}
cc=${CC:-cc}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo 'int main(void) { return 0; }' >"$tmp/empty.c"
cat >"$tmp/spawn.c" <<'EOF'
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>

extern char **environ;

static double now_ms(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

/* One run of argv with standard output and error on /dev/null: the wall time to its exit. */
static double run(char **argv, posix_spawn_file_actions_t *fa) {
  pid_t pid;
  const double t0 = now_ms();
  if (posix_spawn(&pid, argv[0], fa, NULL, argv, environ) != 0) exit(2);
  int status;
  if (waitpid(pid, &status, 0) != pid) exit(2);
  return now_ms() - t0;
}

static int cmp(const void *a, const void *b) {
  const double x = *(const double *)a, y = *(const double *)b;
  return (x > y) - (x < y);
}

int main(int argc, char **argv) {
  const int n = atoi(argv[1]);
  const double limit = atof(argv[2]);
  char *prog[] = {argv[3], "add", "1", "2", NULL};
  char *empty[] = {argv[4], NULL};
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  double *a = calloc((size_t)n, sizeof *a), *e = calloc((size_t)n, sizeof *e);
  for (int i = 0; i < 20; ++i) run(prog, &fa), run(empty, &fa); /* warm the page cache */
  /* Alternate, so that load on the machine falls on both alike. */
  for (int i = 0; i < n; ++i) {
    a[i] = run(prog, &fa);
    e[i] = run(empty, &fa);
  }
  qsort(a, (size_t)n, sizeof *a, cmp);
  qsort(e, (size_t)n, sizeof *e, cmp);
  const double ratio = a[0] / e[0];
  printf("runs %d each (ms per run)   min     median\n", n);
  printf("zemblaro add 1 2          %7.3f  %7.3f\n", a[0], a[n / 2]);
  printf("empty C program           %7.3f  %7.3f\n", e[0], e[n / 2]);
  printf("ratio                     %7.3f  %7.3f   (limit %.2f on the minimum)\n", ratio,
         a[n / 2] / e[n / 2], limit);
  return ratio <= limit ? 0 : 1;
}
EOF
"$cc" -O2 -o "$tmp/empty" "$tmp/empty.c"
"$cc" -O2 -o "$tmp/spawn" "$tmp/spawn.c"
"$tmp/spawn" "$runs" "$limit" "$bin" "$tmp/empty"
