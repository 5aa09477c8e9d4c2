#!/bin/bash
# Signs a build with a throwaway self-signed certificate, verifies the
# Authenticode signature with osslsigncode, and runs the signed installer's
# silent installation tests under Wine.
#   tools/check-signing.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
build="${1:-$repo/build/signed}"
keys="$build/keys"
mkdir -p "$keys"
password="quennel-test-$(date +%s)"
printf '%s' "$password" > "$keys/password.txt"
# A throwaway authority and a code-signing certificate issued by it.
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Quennel Test Authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$keys/ca-key.pem" -out "$keys/ca.pem" 2>/dev/null
openssl req -newkey rsa:2048 -sha256 -nodes -subj "/CN=Quennel Test Signing" \
    -keyout "$keys/key.pem" -out "$keys/request.pem" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' > "$keys/ext.cnf"
openssl x509 -req -in "$keys/request.pem" -CA "$keys/ca.pem" -CAkey "$keys/ca-key.pem" -CAcreateserial \
    -days 2 -sha256 -extfile "$keys/ext.cnf" -out "$keys/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" -certfile "$keys/ca.pem" \
    -passout "file:$keys/password.txt" -out "$keys/cert.p12" 2>/dev/null
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUENNEL_DIST_DIR="$build/dist" \
    -DQUENNEL_SIGN_PKCS12="$keys/cert.p12" -DQUENNEL_SIGN_PASSWORD_FILE="$keys/password.txt" >/dev/null
rm -f "$build/dist/Quennel.exe"  # signed afresh with this run's certificate
cmake --build "$build"
exe="$build/dist/Quennel.exe"
osslsigncode verify -CAfile "$keys/ca.pem" -in "$exe" | tr -d '\r' | grep -E "Signature verification|Message digest algorithm|Subject:" 
osslsigncode verify -CAfile "$keys/ca.pem" -in "$exe" >/dev/null
echo "signed and verified: $exe"
if tests/wine/wine-env.sh probe 2>/dev/null; then
    ctest --test-dir "$build" -R 'win\.silent' --output-on-failure
else
    echo "the signed installer's silent tests were not run: this machine cannot run 32-bit programs"
fi
