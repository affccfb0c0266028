#!/usr/bin/env bash
# Download benchmark on loopback: a 1 GiB file served by nginx, fetched by the updater's
# HTTP client and by curl, then fetched again with a cut at half and a resume.
# Usage: bench/download/run.sh [build-folder]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${1:-$root/build}"
cmake --build "$build" --target bench_download >/dev/null
bench="$build/bench/download/bench_download"
[ -x "$bench" ] || bench="$build/bin/bench_download"

tmp="$(mktemp -d)"
nginx_pid=""
cleanup() {
    [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
mkdir -p "$tmp/root" "$tmp/temp"
cat >"$tmp/nginx.conf" <<CONF
daemon off;
master_process off;
worker_processes 1;
pid $tmp/nginx.pid;
error_log $tmp/error.log;
events { worker_connections 64; }
http {
    access_log off;
    client_body_temp_path $tmp/temp;
    proxy_temp_path $tmp/temp;
    fastcgi_temp_path $tmp/temp;
    uwsgi_temp_path $tmp/temp;
    scgi_temp_path $tmp/temp;
    default_type application/octet-stream;
    sendfile on;
    server { listen 127.0.0.1:$port; root $tmp/root; }
}
CONF
nginx -p "$tmp" -e "$tmp/error.log" -c "$tmp/nginx.conf" &
nginx_pid=$!
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done

echo "making a 1 GiB file of random bytes..."
head -c 1G /dev/urandom >"$tmp/root/big.bin"
cat "$tmp/root/big.bin" >/dev/null # into the page cache, as for both clients
url="http://127.0.0.1:$port/big.bin"

echo "== curl"
curl_s="$(curl -s -o "$tmp/curl.bin" -w '%{time_total}' "$url")"
cmp -s "$tmp/curl.bin" "$tmp/root/big.bin" || { echo "curl copy differs"; exit 1; }
rm -f "$tmp/curl.bin"
printf "%-22s ok   %12d bytes %8.3f s %9.1f MiB/s\n" curl $((1 << 30)) "$curl_s" \
    "$(python3 -c "print(1024/$curl_s)")"

echo "== DownloadFile"
out="$("$bench" "$url" "$tmp/ours.bin")"
echo "$out"
cmp -s "$tmp/ours.bin" "$tmp/root/big.bin" || { echo "DownloadFile copy differs"; exit 1; }
rm -f "$tmp/ours.bin"
ours_s="$(echo "$out" | awk '/^DownloadFile/ {print $(NF-3)}')"
python3 -c "print('throughput ratio DownloadFile/curl: %.2f (target >= 0.90)' % ($curl_s/$ours_s))"

echo "== cut at half, then resume"
"$bench" "$url" "$tmp/resume.bin" --cut-half
cmp -s "$tmp/resume.bin" "$tmp/root/big.bin" || { echo "resumed copy differs"; exit 1; }
echo "resumed copy is identical"
