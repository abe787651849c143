-- description: Products with any of the numbers ticked from the products (NSQLPICKC)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, code, name, unit_price
FROM products
WHERE id IN ?NSQLPICKC_Products||"{SELECT id FROM products ORDER BY id}"?
ORDER BY id
