#!/usr/bin/env bash
# The test's certificates, made at build time into one folder: a test authority that only the test prefix
# trusts (test-ca.der), the page server's certificate for "localhost" from it (trusted.pem), and one for the
# same name from an authority nobody trusts (untrusted.pem). Each .pem holds the key and the certificate.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
days=3650

authority() {  # name, subject
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.crt" -days $days -subj "/CN=$2" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
}

server() {  # name, authority
    openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=localhost" 2>/dev/null
    printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n' >"$1.ext"
    openssl x509 -req -in "$1.csr" -CA "$2.crt" -CAkey "$2.key" -CAcreateserial -out "$1.crt" -days $days \
        -extfile "$1.ext" 2>/dev/null
    cat "$1.key" "$1.crt" >"$1.pem"
    rm "$1.key" "$1.csr" "$1.ext" "$1.crt"
}

authority test-ca "Wangzhan test authority"
authority stranger-ca "Unknown authority"
server trusted test-ca
server untrusted stranger-ca
openssl x509 -in test-ca.crt -outform DER -out test-ca.der
rm -f ./*.key ./*.srl test-ca.crt stranger-ca.crt
