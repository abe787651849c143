-- The sample database: customers, products, their orders and order lines. Rows are generated
-- with recursive common table expressions from simple arithmetic, so every build makes the same
-- data. Build: sqlite3 sample.db ".read sample-db.sql"
PRAGMA foreign_keys = ON;
BEGIN;

CREATE TABLE customers (
  id           INTEGER PRIMARY KEY,
  name         VARCHAR(60) NOT NULL,
  city         VARCHAR(40) NOT NULL,
  country      VARCHAR(40) NOT NULL,
  email        TEXT,                  -- NULL for some customers
  credit_limit DECIMAL(12,2),
  active       BOOLEAN NOT NULL,
  created_at   DATETIME NOT NULL
);

CREATE TABLE products (
  id         INTEGER PRIMARY KEY,
  code       VARCHAR(12) NOT NULL UNIQUE,
  name       VARCHAR(60) NOT NULL,
  category   VARCHAR(30) NOT NULL,
  unit_price DECIMAL(10,2) NOT NULL,
  weight_kg  REAL,                    -- NULL for services
  introduced DATE NOT NULL
);

CREATE TABLE orders (
  id          INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers(id),
  order_date  DATE NOT NULL,
  order_time  TIME NOT NULL,
  status      VARCHAR(12) NOT NULL,
  shipped_at  DATETIME,               -- NULL while not shipped
  note        TEXT
);

CREATE TABLE order_lines (
  order_id   INTEGER NOT NULL REFERENCES orders(id),
  line_no    INTEGER NOT NULL,
  product_id INTEGER NOT NULL REFERENCES products(id),
  quantity   INTEGER NOT NULL,
  unit_price DECIMAL(10,2) NOT NULL,
  discount   NUMERIC(5,2),            -- percent; NULL when none
  PRIMARY KEY (order_id, line_no)
);

CREATE TABLE cities (n INTEGER PRIMARY KEY, city TEXT, country TEXT);
INSERT INTO cities VALUES
  (0, 'Lisbon', 'Portugal'), (1, 'Porto', 'Portugal'), (2, 'Madrid', 'Spain'),
  (3, 'Sevilla', 'Spain'), (4, 'Lyon', 'France'), (5, 'Paris', 'France'),
  (6, 'München', 'Germany'), (7, 'Köln', 'Germany'), (8, 'Kraków', 'Poland'),
  (9, 'Gdańsk', 'Poland'), (10, 'Zürich', 'Switzerland'), (11, 'Genève', 'Switzerland');

WITH RECURSIVE seq(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM seq WHERE i < 250)
INSERT INTO customers
SELECT i,
       printf('%s %s', CASE i % 7 WHEN 0 THEN 'Atlas' WHEN 1 THEN 'Borealis' WHEN 2 THEN 'Cobalt'
                       WHEN 3 THEN 'Delta' WHEN 4 THEN 'Emerald' WHEN 5 THEN 'Fjord' ELSE 'Granite' END,
              CASE i % 5 WHEN 0 THEN 'Trading' WHEN 1 THEN 'Supplies' WHEN 2 THEN 'Industries'
                       WHEN 3 THEN '& Sons' ELSE 'Lda.' END) || ' ' || i,
       c.city, c.country,
       CASE WHEN i % 9 = 0 THEN NULL ELSE printf('contact%d@example.com', i) END,
       CASE WHEN i % 13 = 0 THEN NULL ELSE ((i * 7919) % 50000) * 10 / 4.0 END,
       i % 11 <> 0,
       datetime('2019-01-01 08:00:00', printf('+%d minutes', i * 6337))
FROM seq JOIN cities c ON c.n = seq.i % 12;

WITH RECURSIVE seq(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM seq WHERE i < 60)
INSERT INTO products
SELECT i,
       printf('P-%04d', i * 17),
       CASE i % 6 WHEN 0 THEN 'Bolt' WHEN 1 THEN 'Bracket' WHEN 2 THEN 'Cable'
                  WHEN 3 THEN 'Drill' WHEN 4 THEN 'Sealant' ELSE 'Service hour' END
         || printf(' %c-%d', char(65 + i % 26), i),
       CASE i % 6 WHEN 5 THEN 'Services' WHEN 3 THEN 'Tools' ELSE 'Parts' END,
       round(((i * 3779) % 20000) / 100.0 + 0.99, 2),
       CASE WHEN i % 6 = 5 THEN NULL ELSE round(((i * 431) % 5000) / 1000.0, 3) END,
       date('2015-03-01', printf('+%d days', i * 37))
FROM seq;

WITH RECURSIVE seq(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM seq WHERE i < 2500)
INSERT INTO orders
SELECT i,
       1 + (i * 7) % 250,
       date('2023-01-01', printf('+%d days', (i * 13) % 730)),
       time('07:00:00', printf('+%d seconds', (i * 5153) % 43200)),
       CASE WHEN i % 10 = 0 THEN 'cancelled' WHEN i % 4 = 0 THEN 'open' ELSE 'shipped' END,
       CASE WHEN i % 10 = 0 OR i % 4 = 0 THEN NULL
            ELSE datetime(date('2023-01-01', printf('+%d days', (i * 13) % 730)),
                          printf('+%d minutes', 1440 + (i * 97) % 4000)) END,
       CASE WHEN i % 17 = 0 THEN 'Deliver before noon, "gate B"'
            WHEN i % 23 = 0 THEN 'Invoice to head office; ref. ' || i ELSE NULL END
FROM seq;

WITH RECURSIVE seq(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM seq WHERE i < 6000)
INSERT INTO order_lines
SELECT 1 + (i - 1) % 2500,
       1 + (i - 1) / 2500,
       p.id,
       1 + (i * 31) % 40,
       p.unit_price,
       CASE WHEN i % 5 = 0 THEN (i % 4) * 2.5 ELSE NULL END
FROM seq JOIN products p ON p.id = 1 + (i * 11) % 60;

DROP TABLE cities;
COMMIT;
ANALYZE;
