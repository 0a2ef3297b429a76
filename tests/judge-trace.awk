# SPDX-License-Identifier: GPL-3.0-or-later
# Judges the system-call trace of one session under strace -f -y (tests/nothing-kept.sh):
# a "VIOLATION" line, with the call beneath it, for everything a program that keeps nothing,
# sends nothing and starts nothing must not do, and an "INFO" line for each kind of thing it
# may do, with how often. Attempts count, failed or not: an attempt to write ~/.config/...
# that fails here only because the fresh home has no ~/.config would succeed in a real home.
#   awk -v cwd=... -v home=... -v cache_home=... -v runtime=... -v tmp=... -v bus=...
#       -v display=... -v font_names=... -f judge-trace.awk TRACE
# cwd, home, cache_home, runtime and tmp are the session's own folders (runtime empty where
# it has none), bus the session bus's socket (empty without one), display the private X
# screen's number, font_names the pattern of the names fontconfig gives its index files.
function bad(what) { printf "VIOLATION %s\n    %s\n", what, substr(line, 1, 300) }
# The full path of a name that the text "before" it leads up to: strace -y shows the
# directory an *at call starts from as "AT_FDCWD</dir>" or "5</dir>".
function resolve(p, before,    dir) {
    if (p ~ /^\//) return p
    dir = cwd
    if (match(before, /<[^<>]*>[^<>]*$/)) { dir = substr(before, RSTART + 1); sub(/>.*/, "", dir) }
    return dir "/" p
}
function font_cache_dir(p) {
    return p == "/var/cache/fontconfig" || p == cache_home || p == cache_home "/fontconfig" || p == home "/.fontconfig"
}
function font_cache_file(p,    dir, base) {
    dir = p; sub(/\/+[^\/]*$/, "", dir)
    base = p; sub(/.*\//, "", base)
    return font_cache_dir(dir) && dir != cache_home && base ~ (font_names "([.](NEW|LCK)|[.]TMP-[A-Za-z0-9]+)?$")
}
{
    line = $0; pid = $1
    # Calls interrupted by another thread come in two parts; put them together again.
    if (line ~ / <unfinished \.\.\.>$/) { sub(/ <unfinished \.\.\.>$/, "", line); pending[pid] = line; next }
    if (line ~ /^[0-9]+ <\.\.\. [a-z0-9_]+ resumed>/) {
        rest = line; sub(/^[0-9]+ <\.\.\. [a-z0-9_]+ resumed>/, "", rest)
        line = pending[pid] rest; delete pending[pid]
    }
    call = line; sub(/^[0-9]+ +/, "", call)
    name = call; sub(/\(.*/, "", name)
    result = call; if (!sub(/.* = /, "", result)) result = "?"
    failed = result ~ /^-1 /
    # The names a call works on: link and rename have two.
    path = ""; other = ""; after = call
    if (match(call, /"([^"\\]|\\.)*"/)) {
        path = resolve(substr(call, RSTART + 1, RLENGTH - 2), substr(call, 1, RSTART - 1))
        after = substr(call, RSTART + RLENGTH)
        if (match(after, /"([^"\\]|\\.)*"/))
            other = resolve(substr(after, RSTART + 1, RLENGTH - 2), substr(after, 1, RSTART - 1))
    }
    sub(/\) = .*$/, "", after)

    if (name == "execve" || name == "execveat") {
        # The first is strace starting the program, and the program may replace itself;
        # any other process starting a program is a helper the session did not ask for.
        if (main == "") main = pid
        else if (pid != main && !failed) bad("started another program: " path)
        else if (pid != main) absent[path]++
        next
    }
    if (name == "open" || name == "openat" || name == "openat2" || name == "creat") {
        if (name != "creat" && after !~ /O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND|O_TMPFILE/) { reads++; next }
        # /dev/shm and /dev/mqueue hold files in memory that outlive the program unless
        # removed; every other /dev path is a device (/dev/null, a terminal, the graphics
        # card), where writing keeps nothing. Writing anywhere in /proc or /sys is not
        # expected either, so it is not excused.
        if (font_cache_file(path)) font_cache++
        else if (path ~ /^\/dev\/(shm|mqueue)\//) shared[path] = line
        else if (path ~ /^\/dev\//) devices[path]++
        else bad("opened for writing: " path)
        next
    }
    if (name ~ /^(link|linkat|rename|renameat|renameat2|unlink|unlinkat)$/ && font_cache_file(path) && (other == "" || font_cache_file(other))) { font_cache++; next }
    if (name ~ /^(mkdir|mkdirat|chmod|fchmodat)$/ && font_cache_dir(path)) { font_cache++; next }
    if ((name == "unlink" || name == "unlinkat") && (path in shared) && !failed) { delete shared[path]; transient++; next }
    if ((name == "mkdir" || name == "mkdirat") && (path == runtime || path in made) && result ~ /EEXIST/) {
        # The toolkit makes sure its runtime directory exists; it does, so nothing is made.
        runtime_checked++
        next
    }
    # A folder for the lifetime of the program only, in the temporary folder, is allowed
    # if it is gone again at the end.
    if ((name == "mkdir" || name == "mkdirat") && index(path, tmp "/") == 1 && !failed) { made[path] = line; next }
    if ((name == "rmdir" || (name == "unlinkat" && call ~ /AT_REMOVEDIR/)) && (path in made) && !failed) {
        delete made[path]; transient_folders++; next
    }
    if (name == "socket") {
        family = call; sub(/^socket\(/, "", family); sub(/,.*/, "", family)
        if (family != "AF_UNIX") bad("opened a network socket (" family ")")
        next
    }
    if (name == "connect") {
        family = call; sub(/.*sa_family=/, "", family); sub(/[,}].*/, "", family)
        peer = ""
        if (match(call, /sun_path=@?"[^"]*"/)) { peer = substr(call, RSTART + 9, RLENGTH - 9); gsub(/"/, "", peer) }
        # Besides the X server, a local socket is a service that might keep or pass on what
        # it hears: the system log, or nscd and resolved, which look names up on the
        # network for the caller so that no network socket of its own ever shows.
        if (family != "AF_UNIX") bad("connected over the network (" family ")")
        else if (peer ~ ("^@?/tmp/[.]X11-unix/X" display "$")) xserver[peer]++
        else if (bus != "" && (peer == bus || peer == "@" bus)) bus_used++
        else bad("connected to a local service: " peer)
        next
    }
    if (name == "bind" || name == "listen") { bad("offered a socket for others to connect to (" name ")"); next }
    if (name == "io_uring_setup") { bad("set up io_uring, which could read and write unseen by this trace"); next }
    bad("changed the file system (" name "): " path)
}
END {
    for (path in shared) { line = shared[path]; bad("left a shared-memory file behind: " path) }
    for (path in made) { line = made[path]; bad("left a folder behind: " path) }
    printf "INFO %d files opened, all read-only\n", reads
    for (peer in xserver) printf "INFO AF_UNIX connection to the X server at %s (%d)\n", peer, xserver[peer]
    if (bus_used) printf "INFO connected to the session bus of the desktop (%d)\n", bus_used
    if (transient_folders) printf "INFO folders made for the lifetime of the program and removed again: %d\n", transient_folders
    for (path in devices) printf "INFO device opened for writing: %s (%d)\n", path, devices[path]
    if (transient) printf "INFO shared-memory files made and removed again: %d\n", transient
    if (runtime_checked) printf "INFO mkdir of the existing runtime directory, refused with EEXIST (%d)\n", runtime_checked
    for (path in absent) printf "INFO tried to start %s, which is not installed (%d)\n", path, absent[path]
    if (font_cache) printf "INFO fontconfig wrote its font index or made its folders (%d calls): the index was out of date; fc-cache, run as root, brings it up to date\n", font_cache
}
